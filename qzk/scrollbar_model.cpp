#include "qzk/scrollbar_model.h"

#include <algorithm>

int qzscroll_maxpos(const qzScrollRange& r) { return std::max(0, r.total - std::max(r.page, 0)); }

bool qzscroll_set(qzScrollRange& r, int pos) {
  int p = std::clamp(pos, 0, qzscroll_maxpos(r));
  if (p == r.pos) return false;
  r.pos = p;
  return true;
}

bool qzscroll_by(qzScrollRange& r, int delta) {
  long long p = static_cast<long long>(r.pos) + delta;
  return qzscroll_set(r, static_cast<int>(std::clamp<long long>(p, 0, qzscroll_maxpos(r))));
}

qzThumb qzscroll_thumb(const qzScrollRange& r, int track, int minThumb) {
  int maxpos = qzscroll_maxpos(r);
  if (maxpos <= 0 || track <= 0) return {};
  long long len = static_cast<long long>(track) * std::max(r.page, 1) / r.total;
  int length = static_cast<int>(std::clamp<long long>(len, std::min(minThumb, track), track));
  int start = static_cast<int>(static_cast<long long>(track - length) * std::clamp(r.pos, 0, maxpos) / maxpos);
  return {start, length};
}

int qzscroll_pos_for_thumb(const qzScrollRange& r, int track, int minThumb, int thumbStart) {
  int maxpos = qzscroll_maxpos(r);
  qzThumb t = qzscroll_thumb(r, track, minThumb);
  int room = track - t.length;
  if (maxpos <= 0 || room <= 0) return 0;
  long long p = (static_cast<long long>(std::clamp(thumbStart, 0, room)) * maxpos + room / 2) / room;
  return static_cast<int>(p);
}
