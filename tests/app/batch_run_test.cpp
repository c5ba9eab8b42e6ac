// The kmwb executable's batch runs, as a researcher starts them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "read_file.h"
#include "temp_folder.h"

namespace {

// A copy of examples/ as the working folder, as the README describes.
class BatchRun : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("kmwb_batch_");
    ASSERT_FALSE(dir_.empty());
    ASSERT_EQ(std::system(("cp " + std::string(SOURCE_DIR) + "/examples/* " + dir_).c_str()), 0);
  }
  // Runs kmwb in the folder; the exit status, with stderr in `log`.
  // `wrapper` goes before the program ("timeout 20").
  int Run(const std::string& args, std::string& log, const std::string& wrapper = "") {
    std::string cmd = "cd " + dir_ + " && " + wrapper + " " + std::string(BINARY_DIR) + "/kmwb " + args + " 2> stderr.txt";
    int status = std::system(cmd.c_str());
    log = ReadFile(dir_ + "/stderr.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string dir_;
};

TEST_F(BatchRun, JulianDateExampleGivesTheEpochAndTheCalendarSwitch) {
  std::string log;
  ASSERT_EQ(Run("--batch julian-date.kmwb --out results --seed 42", log), 0) << log;
  std::string page = ReadFile(dir_ + "/results/text-1.txt");
  // J2000.0 and the first Gregorian day (Meeus, ch. 7).
  EXPECT_NE(page.find(" 01.01.2000  12:00:00 world time\r\n = Julian date 2451545.000000"), std::string::npos)
      << page;
  EXPECT_NE(page.find(" Julian date 2299160.500000\r\n = 15.10.1582  00:00 world time"), std::string::npos)
      << page;
  EXPECT_NE(log.find("random seed 42"), std::string::npos) << log;
  EXPECT_NE(ReadFile(dir_ + "/qzk.log").find("random seed"), std::string::npos);
}

TEST_F(BatchRun, WrongPrefixStopsWithTheLineNumber) {
  std::ofstream(dir_ + "/wrong.kmwb") << "# a script out of step\nrun 17- Julian Date\n"
                                         "Julian Date -> 1\nGroup size -> 5\n";
  std::string log;
  EXPECT_NE(Run("--batch wrong.kmwb --out wrong-results", log), 0);
  EXPECT_NE(log.find("wrong.kmwb, line 4: the answer is for \"Group size\""), std::string::npos) << log;
  EXPECT_NE(access((dir_ + "/wrong-results/text-1.txt").c_str(), F_OK), 0) << "no results from a broken run";
}

TEST_F(BatchRun, ScriptErrorsAreNamed) {
  std::string log;
  std::ofstream(dir_ + "/short.kmwb") << "run 17- Julian Date\n1\n";
  EXPECT_NE(Run("--batch short.kmwb", log), 0);
  EXPECT_NE(log.find("short.kmwb, line 1: no answer left for \"date and time in world time\""),
            std::string::npos)
      << log;
  std::ofstream(dir_ + "/label.kmwb") << "\nrun 99- Nothing\n";
  EXPECT_NE(Run("--batch label.kmwb", log), 0);
  EXPECT_NE(log.find("label.kmwb, line 2: no menu button is labelled \"99- Nothing\""), std::string::npos) << log;
  EXPECT_EQ(Run("--batch missing.kmwb", log), 3);
  EXPECT_NE(log.find("missing.kmwb cannot be read"), std::string::npos) << log;
  EXPECT_EQ(Run("--batch julian-date.kmwb --seed -4", log), 2);
  EXPECT_NE(log.find("--seed wants a whole number"), std::string::npos) << log;
}

TEST_F(BatchRun, OneModuleSavesUsedPagesOnlyAndItsRecord) {
  {
    std::ofstream script(dir_ + "/one.kmwb");
    script << "run 17- Julian Date\nJulian Date -> Date to Julian date\nDate and time -> 1.1.2000 12:00:00\n";
  }
  std::string log;
  ASSERT_EQ(Run("--batch one.kmwb --out jd", log), 0) << log;
  EXPECT_NE(ReadFile(dir_ + "/jd/text-1.txt").find("Julian date"), std::string::npos) << log;
  EXPECT_NE(access((dir_ + "/jd/graphic-1.png").c_str(), F_OK), 0) << "no page was drawn on";
  // One module too leaves its record folder; its pages stay in jd/, where
  // the manifest names them (no copies in the record folder).
  const std::string manifest = ReadFile(dir_ + "/jd/01-17-Julian-Date/manifest.json");
  EXPECT_NE(manifest.find("\"path\": \"jd/text-1.txt\""), std::string::npos) << manifest;
  EXPECT_NE(access((dir_ + "/jd/01-17-Julian-Date/text-1.txt").c_str(), F_OK), 0);
  EXPECT_NE(access((dir_ + "/jd/01-17-Julian-Date/graphic-1.png").c_str(), F_OK), 0);
  EXPECT_EQ(access((dir_ + "/jd/01-17-Julian-Date/replay.kmwb").c_str(), F_OK), 0);
}

// The demo runs the whole chain; each module's pages are kept in a folder
// of their own before the next module clears them, the last state of every
// page beside them.
TEST_F(BatchRun, DemoKeepsEveryModulesPages) {
  std::string log;
  ASSERT_EQ(Run("--batch demo.kmwb --out demo-results --seed 1", log), 0) << log;
  const std::string out = dir_ + "/demo-results/";
  EXPECT_NE(ReadFile(out + "01-17-Julian-Date/text-1.txt").find("Julian date"), std::string::npos) << log;
  EXPECT_NE(ReadFile(out + "02-1-Statistics-1-Continuum/text-1.txt").find("Matrix H: Coherent continuum"), std::string::npos);
  EXPECT_NE(access((out + "02-1-Statistics-1-Continuum/graphic-1.png").c_str(), F_OK), 0)
      << "the continuum draws nothing";
  EXPECT_EQ(access((out + "03-2-Event-Analysis/graphic-3.png").c_str(), F_OK), 0);
  EXPECT_NE(access((out + "03-2-Event-Analysis/text-1.txt").c_str(), F_OK), 0)
      << "text page 1 still holds the continuum's tables, unchanged by the event analysis";
  // Each page as PNG and SVG drawing; BMP copies only with --bmp.
  for (int k = 1; k <= 6; ++k) {
    const std::string page = out + "04-4-Matrix-Probability/graphic-" + std::to_string(k);
    EXPECT_EQ(access((page + ".png").c_str(), F_OK), 0) << k;
    EXPECT_NE(ReadFile(page + ".svg").find("</svg>"), std::string::npos) << k;
    EXPECT_NE(access((page + ".bmp").c_str(), F_OK), 0) << k;
  }
  EXPECT_EQ(access((out + "05-11-Planetary-Fluctuations-time-quality/graphic-1.png").c_str(), F_OK), 0);
  EXPECT_EQ(access((out + "06-6-Planetary-Fluctuations-resonances/graphic-4.png").c_str(), F_OK), 0);
  EXPECT_NE(ReadFile(out + "text-0.txt").find("TEAM-ANALYSIS"), std::string::npos) << "the welcome comes last";
  EXPECT_EQ(access((out + "graphic-6.png").c_str(), F_OK), 0);
}

// A module that ends early stops the run with its own status: the pages
// are saved first, then its message is printed and logged, with the
// answers it never asked for.
TEST_F(BatchRun, EarlyEndSavesThePagesAndPrintsTheModulesMessage) {
  std::ofstream(dir_ + "/stops.kmwb") << "run 2- Event Analysis\nHas the continuum run before -> yes\n"
                                          "read data automatically -> yes\nrun 17- Julian Date\n1\n1.1.2000\n";
  std::string log;
  EXPECT_EQ(Run("--batch stops.kmwb --out ended", log), 4) << log;
  const std::string said = "\"2- Event Analysis\" ended early: matrixsumcontinuum.txt not exist or not closed : start new";
  EXPECT_NE(log.find("kmwb: " + said + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("stops.kmwb, line 3: this answer and those after it were not used"), std::string::npos) << log;
  EXPECT_NE(log.find("the script's last module was not run"), std::string::npos) << log;
  EXPECT_LT(log.find("wrote ended/text-6.txt"), log.find(said)) << "the pages come first";
  EXPECT_NE(ReadFile(dir_ + "/ended/text-6.txt").find(" matrixsumcontinuum.txt not exist or not closed : start new"),
            std::string::npos);
  EXPECT_EQ(access((dir_ + "/ended/01-2-Event-Analysis/text-6.txt").c_str(), F_OK), 0);
  EXPECT_NE(ReadFile(dir_ + "/qzk.log").find("batch stopped: " + said), std::string::npos);

  // The last module's early end with no answer left is no success either.
  std::ofstream(dir_ + "/jd.kmwb") << "run 17- Julian Date\n2\n1e20\n";
  EXPECT_EQ(Run("--batch jd.kmwb --out jd", log), 4) << log;
  EXPECT_NE(log.find("\"17- Julian Date\" ended early: Julian date 100000000000000000000.000000: only dates"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("results in"), std::string::npos) << log;
}

// A run that ends early after a module drew saves the drawn pages as it
// saves them after a whole run: PNG and SVG, and BMP only with --bmp.
TEST_F(BatchRun, EarlyEndSavesTheDrawnPagesInTheChosenFormats) {
  const std::string drawn = ReadFile(dir_ + "/fluctuations.kmwb");
  ASSERT_NE(drawn.find("run 11- Planetary Fluctuations"), std::string::npos);
  std::ofstream(dir_ + "/drawn.kmwb") << drawn << "\nrun 17- Julian Date\n2\n1e20\n";
  for (const bool bmp : {false, true}) {
    const std::string out = bmp ? "with-bmp" : "without";
    std::string log;
    ASSERT_EQ(Run("--batch drawn.kmwb --seed 7 --out " + out + (bmp ? " --bmp" : ""), log), 4) << log;
    for (const std::string& dir : {dir_ + "/" + out, dir_ + "/" + out + "/03-11-Planetary-Fluctuations-time-quality"}) {
      for (int k = 1; k <= 4; ++k) {
        const std::string page = dir + "/graphic-" + std::to_string(k);
        EXPECT_EQ(access((page + ".png").c_str(), F_OK), 0) << page;
        EXPECT_NE(ReadFile(page + ".svg").find("</svg>"), std::string::npos) << page;
        EXPECT_EQ(access((page + ".bmp").c_str(), F_OK) == 0, bmp) << page;
      }
    }
    EXPECT_EQ(access((dir_ + "/" + out + "/04-17-Julian-Date").c_str(), F_OK), 0) << log;
  }
}

// A module that ends early or fails leaves its record too: the outcome,
// the reason among its messages, and no working file among its outputs
// when its set was not written.
TEST_F(BatchRun, ModulesThatEndEarlyOrFailLeaveTheirRecords) {
  std::ofstream(dir_ + "/stops.kmwb") << "run 2- Event Analysis\nHas the continuum run before -> yes\n"
                                          "read data automatically -> yes\n";
  std::string log;
  ASSERT_EQ(Run("--batch stops.kmwb --out ended", log), 4) << log;
  const std::string early = ReadFile(dir_ + "/ended/01-2-Event-Analysis/manifest.json");
  EXPECT_NE(early.find("\"outcome\": \"ended early\""), std::string::npos) << early;
  EXPECT_NE(early.find("\"ended early: matrixsumcontinuum.txt not exist or not closed : start new\""),
            std::string::npos)
      << early;

  // A folder where the continuum's datord.txt goes: its set is refused whole.
  ASSERT_EQ(::mkdir((dir_ + "/datord.txt").c_str(), 0755), 0);
  ASSERT_EQ(Run("--batch continuum.kmwb --out failed --seed 1", log), 5) << log;
  const std::string failed = ReadFile(dir_ + "/failed/01-1-Statistics-1-Continuum/manifest.json");
  EXPECT_NE(failed.find("\"outcome\": \"failed\""), std::string::npos) << failed;
  EXPECT_NE(failed.find("\"failed: datord.txt could not be written (a folder is in its place)\""), std::string::npos)
      << failed;
  EXPECT_EQ(failed.find("\"path\": \"datdat.txt\""), std::string::npos) << "nothing of the set was written";
  EXPECT_NE(failed.find("\"path\": \"failed/text-1.txt\""), std::string::npos) << "its pages, in DIR";
}

// A module that finished with answers left is a script out of step; its
// pages are kept and its last line is shown.
TEST_F(BatchRun, AnswersLeftAfterAFinishedModuleAreOutOfStep) {
  std::ofstream(dir_ + "/more.kmwb") << "run 17- Julian Date\n1\n1.1.2000 12:00\none more\n";
  std::string log;
  EXPECT_EQ(Run("--batch more.kmwb --out more", log), 3) << log;
  EXPECT_NE(log.find("more.kmwb, line 4: \"17- Julian Date\" ended without asking for this answer"), std::string::npos)
      << log;
  EXPECT_NE(log.find("its last line on the page: = Julian date 2451545.000000"), std::string::npos) << log;
  EXPECT_NE(ReadFile(dir_ + "/more/text-1.txt").find("2451545.000000"), std::string::npos);
}

// Arguments that name no script to read are bad arguments (status 2), and
// come back at once; a script that runs nothing is no success.
TEST_F(BatchRun, ArgumentsThatNameNoScript) {
  std::string log;
  EXPECT_EQ(Run("--batch", log), 2) << log;
  EXPECT_NE(log.find("--batch needs a value"), std::string::npos) << log;
  EXPECT_EQ(Run("--batch --out x", log), 2) << log;
  EXPECT_NE(log.find("--batch needs a value"), std::string::npos) << log;
  EXPECT_EQ(Run("--batch julian-date.kmwb --out", log), 2) << log;
  ASSERT_EQ(mkdir((dir_ + "/somedir").c_str(), 0755), 0);
  EXPECT_EQ(Run("--batch somedir", log), 2) << log;
  EXPECT_NE(log.find("the batch script somedir is a folder, not a script file"), std::string::npos) << log;
  ASSERT_EQ(mkfifo((dir_ + "/pipe").c_str(), 0644), 0);
  // A named pipe would block the reading for ever: refused before it is opened.
  EXPECT_EQ(Run("--batch pipe", log, "timeout 20"), 2) << log;
  EXPECT_NE(log.find("the batch script pipe is not a plain file"), std::string::npos) << log;
  std::ofstream(dir_ + "/comments.kmwb") << "# nothing but a comment\n\n";
  EXPECT_EQ(Run("--batch comments.kmwb", log), 3) << log;
  EXPECT_NE(log.find("comments.kmwb holds no \"run\" line: there is nothing to run"), std::string::npos) << log;
  EXPECT_NE(access((dir_ + "/batch-out").c_str(), F_OK), 0) << "nothing was run, nothing saved";
}

}  // namespace
