// The ephemeris of a run: the command line, the environment, the File
// menu's choice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "app/shell.h"
#include "app/testing.h"
#include "core/ephemeris.h"
#include "qzk/events.h"

namespace {

bool Parse(std::vector<std::string> words, RunOptions& options, std::string& error) {
  std::vector<char*> argv;
  static char program[] = "kmwb";
  argv.push_back(program);
  for (std::string& w : words) argv.push_back(w.data());
  return ParseRunOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(EphemerisChoice, CommandLineBeforeEnvironmentBeforeClassic) {
  RunOptions options;
  std::string error;
  Ephemeris e = Ephemeris::Precise;
  unsetenv("KMWB_EPHEMERIS");
  ASSERT_TRUE(Parse({}, options, error)) << error;
  ASSERT_TRUE(EphemerisOfRun(options, e, error));
  EXPECT_EQ(e, Ephemeris::Classic);

  setenv("KMWB_EPHEMERIS", "precise", 1);
  ASSERT_TRUE(EphemerisOfRun(options, e, error));
  EXPECT_EQ(e, Ephemeris::Precise);

  ASSERT_TRUE(Parse({"--ephemeris", "classic"}, options, error)) << error;
  ASSERT_TRUE(EphemerisOfRun(options, e, error));
  EXPECT_EQ(e, Ephemeris::Classic) << "the command line wins";

  RunOptions fresh;
  setenv("KMWB_EPHEMERIS", "Precise", 1);
  EXPECT_FALSE(EphemerisOfRun(fresh, e, error));
  EXPECT_NE(error.find("KMWB_EPHEMERIS wants classic or precise, not \"Precise\""), std::string::npos) << error;
  unsetenv("KMWB_EPHEMERIS");

  for (auto bad : {std::vector<std::string>{"--ephemeris", "jpl"}, std::vector<std::string>{"--ephemeris"}}) {
    RunOptions o;
    EXPECT_FALSE(Parse(bad, o, error));
    EXPECT_FALSE(o.ephemeris.has_value());
  }
}

TEST(EphemerisChoice, FileMenuChoosesAndTheMenuPageSays) {
  WorkbenchSession s;
  MainWindow& m = s.Window();
  ASSERT_TRUE(m.fileMenu.choose(2));  // "Ephemeris: &precise"
  int event = qzpoll_event();
  EXPECT_EQ(event, m.preciseItem);
  EXPECT_TRUE(HandleMainEvent(event));
  EXPECT_EQ(CurrentEphemeris(), Ephemeris::Precise);
  EXPECT_NE(s.Text(0).find("Ephemeris: precise"), std::string::npos) << s.Text(0);

  ASSERT_TRUE(m.fileMenu.choose(1));  // "Ephemeris: &classic"
  event = qzpoll_event();
  EXPECT_EQ(event, m.classicItem);
  EXPECT_TRUE(HandleMainEvent(event));
  EXPECT_EQ(CurrentEphemeris(), Ephemeris::Classic);
  EXPECT_NE(s.Text(0).find("Ephemeris: classic"), std::string::npos) << s.Text(0);
}

}  // namespace
