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

qzScrollBarParts qzscroll_parts(const qzRect& r, bool vertical, const qzScrollRange& range, int minThumb) {
  qzScrollBarParts b;
  if (r.empty()) return b;
  if (vertical) {
    int a = std::min(r.w, r.h / 2);
    b.low = {r.x, r.y, r.w, a};
    b.high = {r.x, r.y + r.h - a, r.w, a};
    b.track = {r.x, r.y + a, r.w, r.h - 2 * a};
    qzThumb t = qzscroll_thumb(range, b.track.h, minThumb);
    if (t.length > 0) b.thumb = {r.x, b.track.y + t.start, r.w, t.length};
  } else {
    int a = std::min(r.h, r.w / 2);
    b.low = {r.x, r.y, a, r.h};
    b.high = {r.x + r.w - a, r.y, a, r.h};
    b.track = {r.x + a, r.y, r.w - 2 * a, r.h};
    qzThumb t = qzscroll_thumb(range, b.track.w, minThumb);
    if (t.length > 0) b.thumb = {b.track.x + t.start, r.y, t.length, r.h};
  }
  return b;
}
