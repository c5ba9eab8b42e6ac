// Line breaking of text pages, incremental over appended text.
#include "qzk/textdisplay_layout.h"

#include <algorithm>

int qztext_next_code(const std::string& text, size_t& i, size_t end) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char c = byte(i);
  auto continuation = [&](size_t k) { return k < end && (byte(k) & 0xC0) == 0x80; };
  if (c >= 0xC2 && c <= 0xDF && continuation(i + 1)) {
    int code = ((c & 0x1F) << 6) | (byte(i + 1) & 0x3F);
    i += 2;
    return code;
  }
  if (c >= 0xE0 && c <= 0xEF && continuation(i + 1) && continuation(i + 2)) {
    int code = ((c & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
    i += 3;
    return code;
  }
  if (c >= 0xF0 && c <= 0xF4 && continuation(i + 1) && continuation(i + 2) && continuation(i + 3)) {
    i += 4;
    return 0x10000;
  }
  ++i;
  return c;
}

void qzTextPageLayout::append(const char* data, size_t length) {
  if (length == 0) return;
  text_.append(data, length);
  changed_ = true;
}

void qzTextPageLayout::set(const std::string& text) {
  text_ = text;
  lines_.clear();
  settled_ = settledLines_ = 0;
  widest_ = 0;
  changed_ = true;
}

std::string qzTextPageLayout::lineText(int index) const {
  if (index < 0 || index >= lineCount()) return std::string();
  const qzTextLine& l = lines_[static_cast<size_t>(index)];
  return text_.substr(l.begin, l.end - l.begin);
}

// The x after the character at i (moved past it) drawn at x.
int qzTextPageLayout::advance(size_t& i, size_t end, int x) const {
  int code = qztext_next_code(text_, i, end);
  if (code == '\t') {
    int stop = std::max(metrics_.tabStop, 1);
    return (x / stop + 1) * stop;
  }
  return x + metrics_.advance[static_cast<size_t>(code <= 255 ? code : '?')];
}

// One paragraph, text_[begin, end) without its line end, into lines.
void qzTextPageLayout::breakParagraph(size_t begin, size_t end) {
  size_t lineBegin = begin;
  int x = 0;
  size_t breakAt = 0;  // after the last blank of the line, 0: none
  size_t i = begin;
  while (i < end) {
    size_t charBegin = i;
    bool blank = text_[i] == ' ' || text_[i] == '\t';
    int next = advance(i, end, x);
    if (!nobreak_ && next > width_ && charBegin > lineBegin && !blank) {
      // Break after the last blank, or before this character when the
      // word is longer than the line.
      size_t cut = breakAt > lineBegin ? breakAt : charBegin;
      size_t lineEnd = cut;
      while (lineEnd > lineBegin && (text_[lineEnd - 1] == ' ' || text_[lineEnd - 1] == '\t')) --lineEnd;
      lines_.push_back({static_cast<uint32_t>(lineBegin), static_cast<uint32_t>(lineEnd)});
      widest_ = std::max(widest_, std::min(x, width_));
      lineBegin = cut;
      breakAt = 0;
      i = cut;
      x = 0;
      continue;
    }
    if (blank) breakAt = i;
    x = next;
  }
  lines_.push_back({static_cast<uint32_t>(lineBegin), static_cast<uint32_t>(end)});
  widest_ = std::max(widest_, x);
}

void qzTextPageLayout::layout(const qzTextMetrics& metrics, int width, bool nobreak) {
  // Without breaking the width changes no line.
  bool widthMatters = !nobreak && width != width_;
  if (!(metrics == metrics_) || widthMatters || nobreak != nobreak_) {
    metrics_ = metrics;
    width_ = width;
    nobreak_ = nobreak;
    lines_.clear();
    settled_ = settledLines_ = 0;
    widest_ = 0;
  } else if (!changed_) {
    lastLayoutBytes_ = 0;
    return;
  }
  // The open last paragraph may have grown: break it again from its start.
  lines_.resize(settledLines_);
  lastLayoutBytes_ = text_.size() - settled_;
  size_t begin = settled_;
  while (begin < text_.size()) {
    size_t newline = text_.find('\n', begin);
    size_t end = newline == std::string::npos ? text_.size() : newline;
    size_t content = end;
    if (newline != std::string::npos && content > begin && text_[content - 1] == '\r') --content;
    breakParagraph(begin, content);
    if (newline == std::string::npos) break;
    begin = newline + 1;
    settled_ = begin;
    settledLines_ = lines_.size();
  }
  changed_ = false;
}
