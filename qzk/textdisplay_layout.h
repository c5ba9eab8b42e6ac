#pragma once
// The text of a text page and its lines, without a window: the widget
// keeps one of these, appends to it, and asks for the lines when it
// paints. Appending is amortised constant time and only marks the text
// changed; layout() then breaks just the text that is new since the last
// layout (the open last paragraph and what follows), unless the width,
// the break mode or the metrics changed, which starts again from the top.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One shown line: bytes [begin, end) of the text, without its line end.
struct qzTextLine {
  uint32_t begin = 0;
  uint32_t end = 0;
};

// Glyph advances in pixels for the codes 0..255 (codes above are drawn
// as "?"), and the tab stop distance in pixels.
struct qzTextMetrics {
  std::array<int, 256> advance{};
  int tabStop = 48;
  bool operator==(const qzTextMetrics&) const = default;
};

class qzTextPageLayout {
 public:
  void append(const char* data, size_t length);
  void append(const std::string& text) { append(text.data(), text.size()); }
  void set(const std::string& text);
  void clear() { set(std::string()); }
  const std::string& text() const { return text_; }
  bool changed() const { return changed_; }

  // Breaks the lines for a width in pixels; with `nobreak` lines are cut
  // only at "\n". A "\r" before a "\n" is not part of the line.
  void layout(const qzTextMetrics& metrics, int width, bool nobreak);
  const std::vector<qzTextLine>& lines() const { return lines_; }
  int lineCount() const { return static_cast<int>(lines_.size()); }
  std::string lineText(int index) const;
  // The widest line laid out, in pixels.
  int widest() const { return widest_; }
  // Bytes broken by the last layout() (how much work it did).
  size_t lastLayoutBytes() const { return lastLayoutBytes_; }

 private:
  void breakParagraph(size_t begin, size_t end);
  int advance(size_t& i, size_t end, int x) const;

  std::string text_;
  bool changed_ = false;
  std::vector<qzTextLine> lines_;
  size_t settled_ = 0;      // text before this offset is laid out for good
  size_t settledLines_ = 0; // lines of the settled text
  qzTextMetrics metrics_;
  int width_ = -1;
  bool nobreak_ = false;
  int widest_ = 0;
  size_t lastLayoutBytes_ = 0;
};

// The code of the UTF-8 character at text[i] (a byte that is not valid
// UTF-8 is taken as Latin-1) and moves i past it.
int qztext_next_code(const std::string& text, size_t& i, size_t end);
