#pragma once
// qzTextDisplay: a text page. It keeps all text ever appended as one
// string, wraps it to its width (or not, with "nobreak"), scrolls, and
// saves itself as a text file. Appending is cheap: the lines are broken
// again only when the page is painted after a change, and then only for
// the new text; painting draws only the visible lines.
//
//     qzTextDisplay page;
//     page.create("x=50%,y=50%,xs=100%,ys=100%,nobreak");
//     page.append("%d persons\n", n);
//     page.save("result.txt");   // "\n" written as "\r\n"
//
// Keys: "tab=", "tabs=", "tabsize=", "tabwidth=" (tab width in blanks,
// default 8) and "nobreak". While the view shows the end of the text it
// follows what is appended; set() shows the start.
#include <cstdarg>
#include <string>

#include "qzk/create_from_format.h"
#include "qzk/scrollbar.h"
#include "qzk/textdisplay_layout.h"
#include "qzk/widget.h"

class qzTextDisplay : public qzWidget, public qzCreateFromFormat<qzTextDisplay> {
 public:
  ~qzTextDisplay() override;
  bool createv(const char* format, va_list args);
  const char* kind() const override { return "text display"; }

  // printf-style text added at the end.
  void append(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void vappend(const char* format, va_list args);
  void appendText(const std::string& text);
  // Replaces the whole text and shows its start.
  void set(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void setText(const std::string& text);
  void clear();
  const std::string& text() const { return text_.text(); }

  // Writes the text with every "\n" as "\r\n" (a "\r\n" already in the
  // text stays as it is), to a temporary name renamed over `path`, so an
  // old file is replaced only by a complete new one. False (logged) when
  // the file cannot be written.
  bool save(const char* path) const;

  int tabWidth() const { return tabWidth_; }
  bool noBreak() const { return noBreak_; }
  // The lines as the last paint broke them, and the first one shown.
  const qzTextPageLayout& layout() const { return text_; }
  int firstLine() const { return bars_.y(); }
  int visibleLines() const;
  void scrollToLine(int line);
  // Lays out and places the scroll bars now (paint does it when needed).
  void relayout();

  void paint(qzPixmap& target) override;
  bool mouseWheel(int x, int y, int steps) override;
  bool keyDown(int key, int modifiers) override;
  void enabledChanged() override { bars_.setEnabled(enabled()); }
  void shownChanged() override { bars_.setVisible(visible()); }

 protected:
  void parseOptions(qzOptionList& options) override;
  int defaultBorder() const override { return 2; }
  void created() override;

 private:
  static void scrolled(qzScrollBarManager& bars, void* user);
  qzTextMetrics metrics() const;
  bool atEnd() const;
  void drawLine(qzPixmap& target, const std::string& line, int x, int y) const;

  qzTextPageLayout text_;
  qzScrollBarManager bars_;
  qzRect view_;
  int tabWidth_ = 8;
  bool noBreak_ = false;
  bool follow_ = true;     // the view keeps to the end as text comes in
  bool showStart_ = false; // set() asked for the start
  bool barsCreated_ = false;
  qzRect laidOutRect_;
};
