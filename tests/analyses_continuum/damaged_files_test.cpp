// Damaged working files as the readers meet them: no regular file, values
// that are no finite number, lines without a number, cut files, and the
// settings files' ranges; and values written whole whatever their size.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analyses/body_weights.h"
#include "analyses/settings_files.h"
#include "analyses/workfiles.h"
#include "app/module_report.h"
#include "app/output.h"
#include "app/testing.h"
#include "qzk/xbase.h"
#include "data/event_record.h"
#include "data/person_file.h"
#include "read_file.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

void Put(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

const MissingFileNotice kQuiet{0.0};

// The working folder of a session, whose text page 1 catches the readers'
// lines.
class Damaged : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeModuleReport();
    TextOutput(1);
    ClearOutput();
  }
  std::string Page() const { return session_.Text(1); }
  WorkbenchSession session_;
};

TEST_F(Damaged, AFifoAFolderOrADeviceIsRefusedAsMissingWithoutWaiting) {
  ASSERT_EQ(mkfifo("datplanet.txt", 0600), 0);
  fs::create_directory("datord.txt");
  fs::create_symlink("/dev/zero", "datdat.txt");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(ReadReals(kDatPlanet, 11, kQuiet));
  EXPECT_FALSE(ReadIntegers(kDatOrd, 1, kQuiet));
  EXPECT_FALSE(ReadIntegers(kDatDat, 2, kQuiet));
  EXPECT_FALSE(WorkFileLines(kDatPlanet, 11));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  const std::string page = Page();
  for (const char* name : {"datplanet.txt", "datord.txt", "datdat.txt"})
    EXPECT_NE(page.find(std::string("\n ") + name + " not exist or not closed : "), std::string::npos)
        << name << page;
  EXPECT_EQ(TakeModuleReport().outcome, ModuleOutcome::EndedEarly);

  // Person files and tables the same way.
  ASSERT_EQ(mkfifo("anna.person", 0600), 0);
  EventRecord record;
  EXPECT_FALSE(LoadEventRecord("anna.person", record));
  ASSERT_EQ(mkfifo("persons.dbf", 0600), 0);
  qzXBase table;
  EXPECT_FALSE(table.open("persons.dbf", true));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(Damaged, NonFiniteHugeAndOutOfRangeValuesAreRefusedNamingFileAndLine) {
  struct Case {
    const char* bytes;
    const char* line;
  };
  for (const Case& c : {Case{"1\nnan\n", "\n datplanet.txt, line 2: \"nan\" is not a finite number \n"},
                        Case{"-inf\n", "\n datplanet.txt, line 1: \"-inf\" is not a finite number \n"},
                        Case{"1\n1\n1e999\n", "\n datplanet.txt, line 3: \"1e999\" is not a finite number \n"},
                        Case{"1e31\n", "\n datplanet.txt, line 1: \"1e31\" is larger than any value the modules write \n"}}) {
    ClearOutput();
    TakeModuleReport();
    Put("datplanet.txt", c.bytes);
    EXPECT_FALSE(ReadReals(kDatPlanet, 3, kQuiet)) << c.bytes;
    EXPECT_NE(Page().find(c.line), std::string::npos) << Page();
    EXPECT_EQ(TakeModuleReport().outcome, ModuleOutcome::EndedEarly);
  }
  Put("datintervt.txt", "2147483648\n");
  EXPECT_FALSE(ReadIntegers(kDatIntervT, 1, kQuiet));
  EXPECT_NE(Page().find("datintervt.txt, line 1: \"2147483648\" is no whole number within"), std::string::npos);
  Put("datintervt.txt", "2147483647\n");
  EXPECT_EQ(ReadIntegers(kDatIntervT, 1, kQuiet)->at(0), 2147483647);
}

TEST_F(Damaged, ALineWithoutANumberWarnsOnceWhileBlanksAndTrailingTextDoNot) {
  Put("zsummh.txt", "1.5\n\n2.5 apples\n  \n");
  auto v = ReadReals(kZsummH, 4, kQuiet);
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, (std::vector<double>{1.5, 0, 2.5, 0}));
  EXPECT_EQ(Page().find("WARNING"), std::string::npos) << "the strtod rule stored files rely on";

  Put("zsummh.txt", "abc\n2\n\x01\x02\xff\n" + std::string(1 << 20, 'x') + "\n5\n");
  v = ReadReals(kZsummH, 5, kQuiet);
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, (std::vector<double>{0, 2, 0, 0, 5})) << "a 1 MB line is one line";
  const std::string page = Page();
  EXPECT_NE(page.find("\n WARNING: zsummh.txt, line 1 and 2 more lines hold no number; they read as 0 \n"),
            std::string::npos)
      << page;
  EXPECT_EQ(page.find("WARNING", page.find("WARNING") + 1), std::string::npos) << "once per file";
  EXPECT_EQ(TakeModuleReport().outcome, ModuleOutcome::Finished);

  ClearOutput();
  Put("zsummi.txt", "1\n12abc\nx\n");
  ReadReals(kZsummI, 3, kQuiet);
  EXPECT_NE(Page().find("\n WARNING: zsummi.txt, line 3 holds no number (\"x\"); it reads as 0 \n"),
            std::string::npos)
      << Page();
}

TEST_F(Damaged, AModulesFileCutMidLineIsWarnedAboutAListIsNot) {
  Put("datdat.txt", "10\n1");  // "10\n12\n" cut after the "1"
  auto v = ReadIntegers(kDatDat, 2, kQuiet);
  ASSERT_TRUE(v);
  EXPECT_EQ((*v)[1], 1);
  EXPECT_NE(Page().find("\n WARNING: datdat.txt, line 2 has no line end: the file was cut \n"),
            std::string::npos)
      << Page();
  ClearOutput();
  Put("Current_Day.txt", "1\n2");
  EXPECT_EQ(ReadIntegers(kCurrentDay, 2, kQuiet)->at(1), 2);
  EXPECT_EQ(Page().find("WARNING"), std::string::npos) << "people may end a list without a line end";
}

TEST(WorkFileValues, AnyFiniteValueIsWrittenWholeWithItsLineEnd) {
  InTempFolder here("values_");
  const std::vector<double> huge = {1e55, -1e300, 0.5};
  ASSERT_TRUE(WriteValues(kMatrixSumContinuum, huge));
  const std::string bytes = ReadFile("matrixsumcontinuum.txt");
  ASSERT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
  EXPECT_EQ(bytes.substr(bytes.size() - 9), "0.500000\n");
  EXPECT_EQ(bytes.find(".000000\n"), 56u) << "the 56 digits of 1e55 and its decimals";
  EXPECT_FALSE(ReadReals(kMatrixSumContinuum, 3, kQuiet)) << "no module writes such a value";
  const std::vector<double> large = {1e29, 123456789.125};
  ASSERT_TRUE(WriteValues(kMatrixSumContinuum, large));
  auto back = ReadReals(kMatrixSumContinuum, 2, kQuiet);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, large) << "every digit of %f is there";
}

TEST(BodyWeightLimits, WeightsBeyondTheLimitOrNotFiniteAreFound) {
  const double fine[] = {57.2, -1e6, 1e6, 0};
  EXPECT_EQ(FirstBadWeight(fine, 4), -1);
  for (double bad : {std::nan(""), HUGE_VAL, 1e308, -1000000.5}) {
    const double w[] = {1, 1, bad};
    EXPECT_EQ(FirstBadWeight(w, 3), 2) << bad;
  }
  // The largest sum a module forms with such weights: a member's total of
  // 121 cells of at most 1e4 times two weights.
  EXPECT_LT(121 * 1e4 * kMaxBodyWeight * kMaxBodyWeight, kMaxStoredValue);
}

TEST_F(Damaged, EachSettingIsCheckedAgainstTheRangeItsWriterGives) {
  struct Case {
    const char* file;
    const char* bytes;
    bool (*read)();
    const char* line;  // "" when the value is taken
  };
  const MissingFileNotice n{0.0};
  static const MissingFileNotice* notice = &n;
  const Case cases[] = {
      {"datord.txt", "0\n", [] { return ReadCorrelationOrder(*notice).has_value(); },
       "\n datord.txt: the order 0 is not 1..12; run the continuum again \n"},
      {"datord.txt", "-1\n", [] { return ReadCorrelationOrder(*notice).has_value(); }, "the order -1 is not"},
      {"datord.txt", "1000000\n", [] { return ReadCorrelationOrder(*notice).has_value(); }, "the order 1000000"},
      {"datord.txt", "12\n", [] { return ReadCorrelationOrder(*notice).has_value(); }, ""},
      {"selfkorr.txt", "-1\n", [] { return ReadSelfCorrelation(*notice).has_value(); },
       "selfkorr.txt: the self-correlation switch -1 is not 0..1"},
      {"dattimeshiftd.txt", "1000000\n", [] { return ReadDayShift(*notice).has_value(); },
       "dattimeshiftd.txt: the day shift 1000000 is not -25..25; run the event analysis again"},
      {"dattimeshifth.txt", "-47\n", [] { return ReadHourShift(*notice).has_value(); }, ""},
      {"dattimeshifth.txt", "48\n", [] { return ReadHourShift(*notice).has_value(); }, "the hour shift 48"},
      {"datdat.txt", "abc\n", [] { return ReadGroupBodies(*notice).has_value(); },
       "datdat.txt: the last body 0 is not 9..10"},
      {"datdat.txt", "9\n1001\n", [] { return ReadGroupBodies(*notice).has_value(); },
       "datdat.txt: the group size 1001 is not 1..1000"},
      {"eventsdat.txt", "1000000\n", [] { return ReadGroupSize(*notice).has_value(); },
       "eventsdat.txt: the number of events 1000000 is not 1..1000"},
      {"eventsdat.txt", "2147483647\n", [] { return ReadGroupSize(*notice).has_value(); },
       "the number of events 2147483647 is not"},
      {"eventsdat.txt", "1000\n", [] { return ReadGroupSize(*notice).has_value(); }, ""},
      {"datintervt.txt", "1\n", [] { return ReadMomentsPerInterval(*notice).has_value(); },
       "the number per interval 1 is not 2..900000"},
      {"startendyear.txt", "1900\n2100\n13\n1\n1\n1\n", [] { return ReadPeriodSetting(*notice).has_value(); },
       "startendyear.txt: the start month 13 is not 1..12"},
      {"startendyear.txt", "1900\n2100\n1\n1\n1\n31\n", [] { return ReadPeriodSetting(*notice).has_value(); }, ""},
      {"datplanet.txt", "1\n1\n2000000\n1\n1\n1\n1\n1\n1\n1\n", [] { return ReadBodyWeights(9, *notice).has_value(); },
       "datplanet.txt, line 3: the weight 2e+06 is not within -1e+06..1e+06; run the continuum again"},
  };
  for (const Case& c : cases) {
    ClearOutput();
    TakeModuleReport();
    Put(c.file, c.bytes);
    const bool taken = c.read();
    const std::string line = c.line;
    EXPECT_EQ(taken, line.empty()) << c.file << " " << c.bytes;
    EXPECT_EQ(TakeModuleReport().outcome != ModuleOutcome::Finished, !line.empty()) << c.file << " " << c.bytes;
    if (!line.empty()) {
      EXPECT_NE(Page().find(line), std::string::npos) << Page();
    }
  }
}

}  // namespace
