// The output channels on pages handed to them, without the main window:
// what they print and draw lands on exactly those pages, and without
// pages they keep the page choice and touch nothing.
#include <gtest/gtest.h>

#include <array>

#include "app/output.h"
#include "app/testing.h"
#include "qzk/events.h"
#include "qzk/platform/platform.h"
#include "qzk/progressbar.h"
#include "qzk/screengraphic.h"
#include "qzk/tabcontrol.h"
#include "qzk/terminal.h"
#include "qzk/textdisplay.h"
#include "qzk/window.h"
#include "temp_folder.h"

namespace {

// A window of its own with the thirteen tabs the channels address.
struct HandMadePages {
  qzWindow window;
  qzTabControl tabs;
  qzTerminal menu;
  std::array<qzTextDisplay, kPages> text;
  std::array<qzScreenGraphic, kPages> canvas;
  qzProgressBar progress;
  std::array<bool, kPages> used{};
  std::array<unsigned, kPages> choices{};

  bool Build() {
    bool ok = window.create("pages,xs=600,ys=400,noquit");
    ok = tabs.create("x=50%,y=45%,xs=100%,ys=85%,tabs=M|G1|G2|G3|G4|G5|G6|T1|T2|T3|T4|T5|T6") && ok;
    tabs.selectPage(0);
    ok = menu.create("x=50%,y=50%,xs=50%,ys=50%") && ok;
    for (int k = 1; k <= kPages; ++k) {
      tabs.selectPage(k);
      ok = canvas[k - 1].create("xs=50%,ys=50%,x=50%,y=50%,format=server") && ok;
      tabs.selectPage(kPages + k);
      ok = text[k - 1].create("xs=50%,ys=50%,x=50%,y=50%") && ok;
    }
    tabs.selectPage(-1);
    ok = progress.create("x=50%,y=95%,xs=50%,ys=3%") && ok;
    return ok;
  }
  OutputPages Pages() {
    OutputPages p;
    p.tabs = &tabs;
    p.menu = &menu;
    for (int k = 0; k < kPages; ++k) {
      p.text[k] = &text[k];
      p.canvas[k] = &canvas[k];
    }
    p.progress = &progress;
    p.graphicUsed = &used;
    p.graphicChoices = &choices;
    return p;
  }
};

class OutputPagesTest : public testing::Test {
 protected:
  void SetUp() override {
    qzplatform_use_headless();
    qzevents_reset();
  }
  void TearDown() override {
    DisconnectOutputPages();
    qzevents_reset();
  }
  InTempFolder here{"output_pages_"};
};

TEST_F(OutputPagesTest, ChannelsUseTheHandedPagesOnly) {
  HandMadePages pages;
  ASSERT_TRUE(pages.Build());
  ConnectOutputPages(pages.Pages());

  TextOutput(3);
  PrintOut("three %d\n", 3);
  EXPECT_EQ(pages.tabs.shownPage(), kPages + 3);
  EXPECT_EQ(pages.text[2].text(), "three 3\n");
  for (int k : {0, 1, 3, 4, 5}) EXPECT_EQ(pages.text[k].text(), "") << "text page " << k + 1;
  ClearOutput();
  EXPECT_EQ(pages.text[2].text(), "");

  GraphicOutput(2, 40, 30, 0x123456);
  GraphicOutput(2, 40, 30, 0x123456);
  EXPECT_EQ(pages.tabs.shownPage(), 2);
  const qzPixmap& g = pages.canvas[1].target().canvas;
  ASSERT_EQ(g.width, 40);
  ASSERT_EQ(g.height, 30);
  EXPECT_EQ(g.rgb[0], 0x123456u);
  EXPECT_EQ(pages.used, (std::array<bool, kPages>{false, true, false, false, false, false}));
  EXPECT_EQ(pages.choices, (std::array<unsigned, kPages>{0, 2, 0, 0, 0, 0}));

  TextOutput(0);
  PrintOut("menu");
  EXPECT_EQ(pages.tabs.shownPage(), 0);
  EXPECT_EQ(pages.menu.text().find("menu"), 0u);
  SetProgress(250);
  EXPECT_EQ(pages.progress.fraction(), 1.0);
  SetProgress(-5);
  EXPECT_EQ(pages.progress.fraction(), 0.0);
}

TEST_F(OutputPagesTest, WithoutPagesTheChoiceIsKeptAndNothingIsTouched) {
  HandMadePages pages;
  ASSERT_TRUE(pages.Build());
  ConnectOutputPages(pages.Pages());
  TextOutput(1);
  PrintOut("kept");
  DisconnectOutputPages();

  TextOutput(4);
  PrintOut("nowhere");
  ClearOutput();
  GraphicOutput(5, 10, 10, 0);
  SetProgress(50);
  TextOutput(9);  // refused with a message that has no page to go to
  EXPECT_EQ(CurrentTextPage(), 4);
  EXPECT_EQ(CurrentGraphicPage(), 5);
  EXPECT_EQ(pages.text[0].text(), "kept");
  EXPECT_EQ(pages.text[3].text(), "");
  EXPECT_EQ(pages.tabs.shownPage(), kPages + 1);
  EXPECT_EQ(pages.choices[4], 0u);
  EXPECT_EQ(pages.progress.fraction(), 0.0);
}

// The main window takes its pages back when it goes: the channels may be
// called after it without reaching a destroyed widget.
TEST(OutputPagesOfTheMainWindow, GoneWithTheWindow) {
  {
    WorkbenchSession s;
    TextOutput(2);
    PrintOut("inside");
    EXPECT_EQ(s.Text(2), "inside");
  }
  TextOutput(2);
  PrintOut("after the window");
  ClearOutput();
  GraphicOutput(1, 10, 10, 0);
  SetProgress(10);
  EXPECT_EQ(CurrentTextPage(), 2);
}

}  // namespace
