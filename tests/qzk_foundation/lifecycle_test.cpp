#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "headless_fixture.h"
#include "qzk/lifecycle.h"
#include "qzk/log.h"
#include "qzk/window.h"

namespace {
std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
std::vector<int> g_order;
void before1() { g_order.push_back(1); }
void before2() { g_order.push_back(2); }
void callback() { g_order.push_back(3); }
void after1() { g_order.push_back(4); }
}  // namespace

TEST(CommandLine, ToolkitOptionsAreNormalised) {
  for (const char* a : {"qzinfo", "-qzinfo", "/qzinfo", "+QZINFO", "--qz_info", "qz-Info", "/Qz Info"})
    EXPECT_TRUE(qzk_is_option(a, "qzinfo")) << a;
  EXPECT_TRUE(qzk_is_option("-qz_license", "qzlicense"));
  EXPECT_TRUE(qzk_is_option("/QZFILE", "qzfile"));
  for (const char* a : {"qzinfos", "qzinf", "info", "", "-qzinfo=1"})
    EXPECT_FALSE(qzk_is_option(a, "qzinfo")) << a;
  // 50 characters or more never match, however they normalise.
  std::string longArg(44, '-');
  longArg += "qzinfo";
  EXPECT_EQ(longArg.size(), 50u);
  EXPECT_FALSE(qzk_is_option(longArg.c_str(), "qzinfo"));
  EXPECT_TRUE(qzk_is_option(longArg.substr(1).c_str(), "qzinfo"));
}

using Lifecycle = HeadlessTest;

TEST_F(Lifecycle, InitRemovesItsOptionsAndWritesTheTexts) {
  std::vector<std::string> args = {"prog", "--headless", "-QZ_info", "data.txt", "/qzfile", "+qzlicense", "--seed", "7"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(args.size());
  testing::internal::CaptureStdout();
  qzk_init(argc, argv.data());
  std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(argc, 5);
  EXPECT_STREQ(argv[0], "prog");
  EXPECT_STREQ(argv[1], "--headless");
  EXPECT_STREQ(argv[2], "data.txt");
  EXPECT_STREQ(argv[3], "--seed");
  EXPECT_STREQ(argv[4], "7");
  EXPECT_EQ(argv[5], nullptr);
  EXPECT_NE(out.find(qzk_version_text()), std::string::npos);
  EXPECT_NE(out.find(qzk_license_text()), std::string::npos);
  EXPECT_EQ(qzk_version_text().rfind("qzk version: ", 0), 0u);
  EXPECT_EQ(read_all("qzklib_info.txt"), qzk_version_text());
  EXPECT_EQ(read_all("qzklib_license.txt"), qzk_license_text());
  std::string log = read_all(qzlog_path());
  EXPECT_NE(log.find("qzk init.\n8 args: prog --headless -QZ_info data.txt /qzfile +qzlicense --seed 7 \n"),
            std::string::npos);
}

TEST_F(Lifecycle, ExitListsRunInOrderOnce) {
  g_order.clear();
  ASSERT_TRUE(qzk_add_exit_handler_before(before1));
  ASSERT_TRUE(qzk_add_exit_handler_before(before2));
  ASSERT_TRUE(qzk_add_exit_handler_after(after1));
  qzk_set_exit_callback(callback);
  qzk_shutdown();
  qzk_shutdown();
  EXPECT_EQ(g_order, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_FALSE(qzrunning());
  std::string log = read_all(qzlog_path());
  EXPECT_NE(log.find("qzk exit\n"), std::string::npos);
}

TEST(Lifecycle100, HandlerListHoldsAHundred) {
  // The "after" list already holds one handler from the test above or
  // none; fill it to the limit and check the refusal.
  int added = 0;
  while (qzk_add_exit_handler_after(after1) && added < 200) ++added;
  EXPECT_LE(added, 100);
  EXPECT_GE(added, 99);
  EXPECT_FALSE(qzk_add_exit_handler_after(after1));
  EXPECT_FALSE(qzk_add_exit_handler_before(nullptr));
}

TEST_F(Lifecycle, ClipboardAndSoundGoThroughThePlatform) {
  qzclipboard_set("Länge 12°");
  EXPECT_EQ(qzclipboard_get(), "Länge 12°");
  EXPECT_TRUE(qzsound_play("Tada.wav"));
  EXPECT_EQ(qzheadless_last_sound(), "Tada.wav");
  qzsound_stop();
  EXPECT_EQ(qzheadless_last_sound(), "");
  EXPECT_FALSE(qzsound_play(""));
}

namespace {
qzWindow* g_entry_window = nullptr;
int app_that_only_builds(int argc, char** argv) {
  // The toolkit option is gone; its own switches stay for the program.
  if (argc != 3 || std::string(argv[1]) != "--headless" || std::string(argv[2]) != "data") return 99;
  g_entry_window = new qzWindow;
  g_entry_window->create("only built,xs=100,ys=100");
  // The "user" closes the window once the toolkit waits.
  qzheadless_set_idle_hook([] { qzheadless_close(g_entry_window->nativeHandle()); });
  return 7;
}
}  // namespace

TEST_F(Lifecycle, EntryKeepsBuiltWindowsAliveThenExitsWithTheMainResult) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::vector<std::string> args = {"prog", "--headless", "QZINFO", "data"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  EXPECT_EXIT(qzk_entry(4, argv.data(), app_that_only_builds), testing::ExitedWithCode(7), "");
}
