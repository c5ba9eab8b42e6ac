// The continuum and the event analysis on damaged input: a refused module
// leaves every working file as it was, values that are no number are
// refused in the dialogs and in the files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/module_report.h"
#include "events_session.h"

namespace {

using namespace events_session;
namespace fs = std::filesystem;

// Every file of the working folder, by name.
std::map<std::string, std::string> Folder() {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator("."))
    if (e.is_regular_file() && e.path().filename() != "qzk.log")
      files[e.path().filename()] = Bytes(e.path().string());
  return files;
}

TEST(DamagedInput, ARefusedEventAnalysisLeavesEveryWorkingFileAsItWas) {
  WorkbenchSession s(Modules());
  CopyExamples(s);
  Continuum(s, 8);
  struct Case {
    const char* datdat;
    const char* datplanet;  // nullptr: as the continuum wrote it
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"9\nabc\n", nullptr,
       {"\n WARNING: datdat.txt, line 2 holds no number (\"abc\"); it reads as 0 \n",
        "\n datdat.txt: the group size 0 is not 1..1000; run the continuum again \n"}},
      {"10\n8\n", "nan\nnan\n", {"\n datplanet.txt, line 1: \"nan\" is not a finite number \n"}},
  };
  for (const Case& c : cases) {
    std::ofstream("datdat.txt", std::ios::binary) << c.datdat;
    if (c.datplanet) std::ofstream("datplanet.txt", std::ios::binary) << c.datplanet;
    const auto before = Folder();
    s.Answer("Has the continuum run before -> yes");
    ASSERT_TRUE(s.Run(kEvents)) << s.Error();
    EXPECT_EQ(s.Report().outcome, ModuleOutcome::EndedEarly) << c.datdat;
    EXPECT_EQ(Folder(), before) << c.datdat;
    const std::string page = s.Text(6);
    for (const std::string& line : c.lines) EXPECT_NE(page.find(line), std::string::npos) << line << page;
  }
}

TEST(DamagedInput, AWeightThatIsNoNumberWithinTheLimitEndsTheContinuumWritingNothing) {
  for (const char* weight : {"nan", "inf", "1e308", "1e55"}) {
    WorkbenchSession s(Modules());
    s.Answer("Order of the correlation -> 3");
    s.Answer("with IC -> yes");
    s.Answer("Members of the group -> 8");
    s.Answer("Should planets be selected -> no");
    s.Answer("Should the planets get a weight -> yes");
    s.Answer("weight of gravity -> 2");
    s.Answer(std::string("gravity planets -> - - ") + weight + " - - - - - - - -");
    ASSERT_TRUE(s.Run(kContinuum)) << s.Error();
    EXPECT_NE(s.Text(0).find(std::string("\n ERROR! The weight of Mercury, ")), std::string::npos) << s.Text(0);
    const ModuleReport& report = s.Report();
    EXPECT_EQ(report.outcome, ModuleOutcome::EndedEarly);
    EXPECT_NE(report.message.find("is not a number within -1000000..1000000"), std::string::npos)
        << report.message;
    EXPECT_FALSE(Exists("datdat.txt")) << weight;
    EXPECT_FALSE(Exists("datplanet.txt")) << weight;
  }
}

}  // namespace
