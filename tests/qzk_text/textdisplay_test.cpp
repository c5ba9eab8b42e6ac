// Text pages: line breaking, appending, saving; the widget on a headless window.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "qzk/drive.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/textdisplay.h"
#include "qzk/textdisplay_layout.h"
#include "qzk/window.h"

static qzTextMetrics fixed_metrics(int advance) {
  qzTextMetrics m;
  m.advance.fill(advance);
  m.tabStop = 8 * advance;
  return m;
}

static std::vector<std::string> lines_of(const qzTextPageLayout& t) {
  std::vector<std::string> out;
  for (int i = 0; i < t.lineCount(); ++i) out.push_back(t.lineText(i));
  return out;
}

static std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(TextLayout, BreaksAtBlanksUnlessNobreak) {
  qzTextPageLayout t;
  t.set("one two three four\r\nfive");
  t.layout(fixed_metrics(1), 9, false);
  EXPECT_EQ(lines_of(t), (std::vector<std::string>{"one two", "three", "four", "five"}));
  t.layout(fixed_metrics(1), 9, true);
  EXPECT_EQ(lines_of(t), (std::vector<std::string>{"one two three four", "five"}));
  EXPECT_EQ(t.widest(), 18);
  // A word longer than the line is cut between characters.
  t.set("abcdefghij");
  t.layout(fixed_metrics(1), 4, false);
  EXPECT_EQ(lines_of(t), (std::vector<std::string>{"abcd", "efgh", "ij"}));
  // Tabs advance to the next stop.
  t.set("a\tb");
  t.layout(fixed_metrics(1), 9, false);
  EXPECT_EQ(lines_of(t), (std::vector<std::string>{"a\tb"}));
  t.layout(fixed_metrics(1), 8, false);
  EXPECT_EQ(lines_of(t), (std::vector<std::string>{"a", "b"}));
}

TEST(TextLayout, AppendingLaysOutOnlyTheNewText) {
  qzTextPageLayout t;
  qzTextMetrics m = fixed_metrics(6);
  for (int i = 0; i < 1000; ++i) t.append("line " + std::to_string(i) + "\n");
  t.layout(m, 600, true);
  EXPECT_EQ(t.lineCount(), 1000);
  t.append("partial");
  t.layout(m, 600, true);
  EXPECT_EQ(t.lastLayoutBytes(), 7u);
  t.append(" more\nnext");
  t.layout(m, 600, true);
  EXPECT_EQ(t.lastLayoutBytes(), 17u);  // the open line again, and what follows
  EXPECT_EQ(t.lineText(1000), "partial more");
  EXPECT_EQ(t.lineText(1001), "next");
  t.layout(m, 600, true);
  EXPECT_EQ(t.lastLayoutBytes(), 0u);  // nothing changed, nothing done
  t.layout(m, 300, true);
  EXPECT_EQ(t.lineCount(), 1002);  // a new width starts from the top
}

class TextPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qzplatform_use_headless();
    qzevents_reset();
    ASSERT_TRUE(window.create("text,x=0,y=0,xs=400,ys=300,noquit"));
  }
  void TearDown() override { window.destroy(); }
  qzWindow window;
};

TEST_F(TextPageTest, SavesLinesWithCarriageReturns) {
  qzTextDisplay page;
  ASSERT_TRUE(page.create("x=0,y=0,xs=100%,ys=100%,nobreak"));
  EXPECT_TRUE(page.noBreak());
  EXPECT_EQ(page.rect().w, window.widgetArea().w);
  page.append("first line\nsecond %d", 2);
  ASSERT_TRUE(page.save("page.txt"));
  EXPECT_EQ(read_file("page.txt"), "first line\r\nsecond 2");
  page.setText("a\r\nb\n");
  ASSERT_TRUE(page.save("page.txt"));
  EXPECT_EQ(read_file("page.txt"), "a\r\nb\r\n");
  EXPECT_FALSE(page.save("no/such/folder/page.txt"));
  EXPECT_FALSE(page.save(""));
  EXPECT_EQ(read_file("page.txt"), "a\r\nb\r\n");  // the old file is untouched
}

TEST_F(TextPageTest, FollowsTheEndAndSetShowsTheStart) {
  qzTextDisplay page;
  ASSERT_TRUE(page.create("x=0,y=0,xs=300,ys=200,tabs=4"));
  EXPECT_EQ(page.tabWidth(), 4);
  for (int i = 0; i < 500; ++i) page.append("line %d\n", i);
  qzdispatch_pending();
  EXPECT_EQ(page.layout().lineCount(), 500);
  EXPECT_GT(page.firstLine(), 400);
  EXPECT_EQ(page.firstLine() + page.visibleLines(), 500);
  page.scrollToLine(10);  // the reader scrolls back: new text no longer pulls the view
  page.append("more\n");
  qzdispatch_pending();
  EXPECT_EQ(page.firstLine(), 10);
  page.setText("fresh\ntext\n");
  qzdispatch_pending();
  EXPECT_EQ(page.firstLine(), 0);
  EXPECT_EQ(page.text(), "fresh\ntext\n");
  page.clear();
  EXPECT_EQ(page.text(), "");
}

TEST_F(TextPageTest, LongLinesWrapToTheWidth) {
  qzTextDisplay page;
  ASSERT_TRUE(page.create("x=0,y=0,xs=200,ys=200"));
  std::string words;
  for (int i = 0; i < 40; ++i) words += "word ";
  page.appendText(words);
  page.relayout();
  int blank = qzfont_glyphwidth(page.font(), ' ');
  ASSERT_GT(blank, 0);
  EXPECT_GT(page.layout().lineCount(), 1);
  for (int i = 0; i < page.layout().lineCount(); ++i)
    EXPECT_LE(qzfont_textwidth(page.font(), page.layout().lineText(i).c_str()), 200);
}

TEST_F(TextPageTest, PaintsTheVisibleText) {
  qzTextDisplay page;
  ASSERT_TRUE(page.create("x=0,y=0,xs=200,ys=100,noborder"));
  qzdispatch_pending();
  std::vector<uint32_t> before;
  int w = 0, h = 0;
  ASSERT_TRUE(qzheadless_pixels(window.nativeHandle(), before, w, h));
  page.append("HHHH");
  qzdispatch_pending();
  std::vector<uint32_t> after;
  ASSERT_TRUE(qzheadless_pixels(window.nativeHandle(), after, w, h));
  int changed = 0;
  for (size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
  EXPECT_GT(changed, 10);
}
