// The real main window on the headless backend: its edge cases, the
// output channels and the shell's own modules.
#include <gtest/gtest.h>


#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/output.h"
#include "app/script_driver.h"
#include "app/testing.h"
#include "core/core_print.h"
#include "data/open_dialogs.h"
#include "qzk/events.h"
#include "qzk/platform/headless.h"
#include "qzk/window.h"
#include "read_file.h"

namespace {

constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kRed = 0xFF0000;

int runs = 0;
uint32_t statusWhileRunning = 0;
WorkbenchSession* session = nullptr;

void Click(qzWidget& w) {
  const qzRect& r = w.rect();
  qzheadless_click(w.window()->nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
}

// A module that presses its own and another module button while it runs,
// then asks one question.
void PressingModule() {
  ++runs;
  statusWhileRunning = session->StatusPixel(10, 10);
  MainWindow& m = *Shell();
  Click(m.modules[9]);
  Click(m.modules[0]);
  qzdispatch_pending();
  InputInt("How many?", 1, 10, 5);
}

TEST(MainWindow, ButtonsDoNothingWhileAModuleRunsAndReadyIsGreenAfterwards) {
  WorkbenchSession s({{"9- Team-analysis", PressingModule}});
  session = &s;
  runs = 0;
  EXPECT_EQ(s.StatusPixel(10, 10), kGreen) << "ready after the start-up";
  s.Answer("How many -> 3");
  ASSERT_TRUE(s.Run("9- Team-analysis")) << s.Error();
  EXPECT_EQ(runs, 1) << "a module button pressed while a module runs has no effect";
  EXPECT_EQ(statusWhileRunning, kRed);
  EXPECT_EQ(s.StatusPixel(10, 10), kGreen);
  EXPECT_EQ(s.Text(0).find("WELCOME"), std::string::npos) << "the welcome module did not run either";
  EXPECT_TRUE(s.Window().modules[0].enabled());
  EXPECT_TRUE(s.Window().help.enabled());
  session = nullptr;
}

TEST(MainWindow, ThreeWaysToQuitWithoutAQuestion) {
  WorkbenchSession s;
  MainWindow& m = s.Window();
  size_t windows = qzWindow::all().size();

  ASSERT_TRUE(m.fileMenu.choose(0));  // "&Quit"
  int event = qzpoll_event();
  EXPECT_EQ(event, m.quitItem);
  EXPECT_FALSE(HandleMainEvent(event));

  qzheadless_close(m.window.nativeHandle());
  event = qzpoll_event();
  EXPECT_EQ(event, m.window.closeId());
  EXPECT_FALSE(HandleMainEvent(event));

  Click(m.quit);
  event = qzpoll_event();
  EXPECT_EQ(event, m.quit.eventId());
  EXPECT_FALSE(HandleMainEvent(event));

  EXPECT_EQ(qzWindow::all().size(), windows) << "no question was asked";
  EXPECT_EQ(TopOpenDialog(), nullptr);
  Click(m.help);
  EXPECT_TRUE(HandleMainEvent(qzpoll_event())) << "other buttons keep the loop going";
}

TEST(MainWindow, ChannelsRefusePagesOutOfRangeAndChangeNothing) {
  WorkbenchSession s;
  TextOutput(2);
  PrintOut("first line\n");
  TextOutput(7);
  EXPECT_EQ(CurrentTextPage(), 2);
  EXPECT_EQ(s.Window().tabs.shownPage(), 8);
  EXPECT_EQ(s.Text(2), "first line\nTextOutput: Parameter muss zwischen 0 und 6 liegen !!!!!\nMit 7 wird das nix.\n");
  GraphicOutput(3, 100, 50, 0x112233);
  GraphicOutput(0, 10, 10, 0);
  EXPECT_EQ(CurrentGraphicPage(), 3);
  EXPECT_NE(s.Text(2).find("GraphicOutput: Parameter muss zwischen 1 und 6 liegen !!!!!\nMit 0 wird das nix."),
            std::string::npos);
  const qzPixmap& g = s.Graphic(3);
  EXPECT_EQ(g.width, 100);
  EXPECT_EQ(g.height, 50);
  EXPECT_EQ(g.rgb[0], 0x112233u);
  // TextOutput(0) clears the menu page; other pages keep their text.
  TextOutput(0);
  PrintOut("menu");
  EXPECT_EQ(s.Text(0).find("Ready"), std::string::npos);
  TextOutput(2);
  EXPECT_EQ(s.Text(2).rfind("first line", 0), 0u);
  // Text at a position: top edge 13 pixels above y.
  GraphicOutput(4, 200, 100, 0xFFFFFF);
  TextAt(10, 50, 0x000000, "X");
  const qzPixmap& t = s.Graphic(4);
  bool above = false, inside = false;
  for (int x = 10; x < 40; ++x) {
    for (int y = 0; y < 37; ++y) above = above || t.rgb[y * t.width + x] != 0xFFFFFF;
    for (int y = 37; y < 61; ++y) inside = inside || t.rgb[y * t.width + x] != 0xFFFFFF;
  }
  EXPECT_FALSE(above);
  EXPECT_TRUE(inside);
}

TEST(MainWindow, JulianDateToolBothWays) {
  WorkbenchSession s;
  s.Answer("Julian Date -> Date to Julian date");
  s.Answer("Date and time -> 1.1.2000 12:00:00");
  ASSERT_TRUE(s.Run("17- Julian Date")) << s.Error();
  EXPECT_NE(s.Text(1).find("01.01.2000  12:00:00 world time\n = Julian date 2451545.000000"), std::string::npos)
      << s.Text(1);
  s.Answer("Julian Date -> 2");
  s.Answer("Julian date -> 2299160.5");
  ASSERT_TRUE(s.Run("17- Julian Date")) << s.Error();
  EXPECT_NE(s.Text(1).find("= 15.10.1582  00:00 world time"), std::string::npos) << s.Text(1);
  EXPECT_EQ(qzheadless_last_sound(), "Tada.wav") << "the module ends with its chime";
  EXPECT_EQ(s.StatusPixel(10, 10), kGreen);
}

TEST(MainWindow, ScriptOutOfStepOrLeftOverFails) {
  WorkbenchSession s;
  s.Answer("Order -> 1");
  EXPECT_FALSE(s.Run("17- Julian Date"));
  EXPECT_NE(s.Error().find("the answer is for \"Order\" but the dialog asks \"julian date\""), std::string::npos)
      << s.Error();
  s.Answer("1");
  s.Answer("1.1.2000");
  s.Answer("one too many");
  EXPECT_FALSE(s.Run("17- Julian Date"));
  EXPECT_NE(s.Error().find("1 answer(s) left"), std::string::npos) << s.Error();
}

TEST(MainWindow, ModulesWithoutImplementationAndMissingPictures) {
  WorkbenchSession s;
  ASSERT_TRUE(s.Run("15- Urn - model toy")) << s.Error();
  EXPECT_NE(s.Text(0).find("\"15- Urn - model toy\" is not part of this version"), std::string::npos);
  ASSERT_TRUE(s.Run("K und M  Institut")) << s.Error();
  EXPECT_NE(s.Text(0).find("The picture file kundm.bmp is missing"), std::string::npos) << s.Text(0);
}

TEST(MainWindow, PicturePageShowsItsFile) {
  WorkbenchSession s;
  ASSERT_TRUE(s.CopyIn(std::string(SOURCE_DIR) + "/assets/booken.bmp"));
  ASSERT_TRUE(s.Run("the planetary gravitational field")) << s.Error();
  const qzPixmap& g = s.Graphic(1);
  // The title page's frame (0x304870) at (21, 21), its paper (0xE8F0F4) at (40, 40).
  EXPECT_EQ(g.rgb[21 * g.width + 21], 0x304870u);
  EXPECT_EQ(g.rgb[40 * g.width + 40], 0xE8F0F4u);
  EXPECT_EQ(s.Text(0).find("missing"), std::string::npos);
}

TEST(MainWindow, WelcomePrintsEveryInformationText) {
  WorkbenchSession s;
  ASSERT_TRUE(s.Run("0- WELCOME")) << s.Error();
  std::string t = s.Text(0);
  size_t at = 0;
  for (const char* heading : {"Statistic 1 - CONTINUUM", "EVENT ANALYSIS", "Statistics 2 DENSITY FUNCTION",
                              "MATRIX PROBABILITY", "ARTIFICIAL INTELLIGENC", "Statistics 3 - PROBABILITY",
                              "FLUKTUATIONS", "TEAM-ANALYSIS"}) {
    size_t found = t.find(heading, at);
    ASSERT_NE(found, std::string::npos) << heading << " missing or out of order";
    at = found;
  }
}

TEST(MainWindow, SaveButtonsWriteThePagesThroughTheFileDialog) {
  WorkbenchSession s;
  TextOutput(1);
  PrintOut("one\ntwo\n");
  GraphicOutput(2, 64, 32, 0x00FF00);
  MainWindow& m = s.Window();
  AnswerQueue answers;
  answers.Push({0, "Save", "page.txt"});
  answers.Push({0, "Save", "page.bmp"});
  std::string failure;
  StartAnswering(answers, [&](const std::string& e) { failure = e; qzquit(); });
  m.tabs.showPage(7);
  qzdispatch_pending();
  Click(m.textSave[0]);
  EXPECT_TRUE(HandleMainEvent(qzpoll_event()));
  m.tabs.showPage(2);
  qzdispatch_pending();
  Click(m.canvasSave[1]);
  EXPECT_TRUE(HandleMainEvent(qzpoll_event()));
  StopAnswering();
  EXPECT_EQ(failure, "") << failure;
  EXPECT_TRUE(answers.Empty()) << "both dialogs took their answer";
  EXPECT_EQ(ReadFile(s.Dir() + "/page.txt"), "one\r\ntwo\r\n");
  std::string bmp = ReadFile(s.Dir() + "/page.bmp");
  ASSERT_EQ(bmp.size(), 54u + 32u * 64u * 3u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bmp[54 + 1]), 0xFF) << "green pixel";
}

TEST(MainWindow, GraphicSaveButtonWritesPngAndSvgByTheExtension) {
  WorkbenchSession s;
  GraphicOutput(3, 64, 32, 0xFFFFFF);
  qzgraphic_fillrect(4, 4, 8, 8, 0xFF0000);
  MainWindow& m = s.Window();
  AnswerQueue answers;
  answers.Push({0, "Save", "page.svg"});
  answers.Push({0, "Save", "page.png"});
  std::string failure;
  StartAnswering(answers, [&](const std::string& e) { failure = e; qzquit(); });
  m.tabs.showPage(3);
  qzdispatch_pending();
  for (int i = 0; i < 2; ++i) {
    Click(m.canvasSave[2]);
    EXPECT_TRUE(HandleMainEvent(qzpoll_event()));
  }
  StopAnswering();
  EXPECT_EQ(failure, "") << failure;
  const std::string svg = ReadFile(s.Dir() + "/page.svg");
  EXPECT_NE(svg.find("<rect x=\"4\" y=\"4\" width=\"8\" height=\"8\" fill=\"#ff0000\"/>"), std::string::npos) << svg;
  EXPECT_EQ(ReadFile(s.Dir() + "/page.png").substr(1, 3), "PNG");
}

}  // namespace

namespace {

// A module whose chart computation reports a quadrant error: the line
// must reach the researcher's text page, not only standard error.
void CoreDiagnosticModule() {
  TextOutput(2);
  CorePrintf("\n  error %s! i= %i \n ", "MC", 7);
}

}  // namespace

TEST(MainWindow, CoreDiagnosticsLandOnTheCurrentTextPage) {
  WorkbenchSession s({{"9- Team-analysis", CoreDiagnosticModule}});
  ASSERT_TRUE(s.Run("9- Team-analysis")) << s.Error();
  EXPECT_NE(s.Text(2).find("error MC! i= 7"), std::string::npos) << s.Text(2);
}
