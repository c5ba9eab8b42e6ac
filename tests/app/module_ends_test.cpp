// How a module ends: the report of an early end or a failure, and the
// modules that refuse their input with one.
#include <gtest/gtest.h>

#include <string>

#include "analyses/continuum.h"
#include "app/module_report.h"
#include "app/output.h"
#include "app/testing.h"

namespace {

TEST(ModuleReport, LinesAddUpAndAFailureOutranksAnEarlyEnd) {
  TakeModuleReport();
  EXPECT_EQ(TakeModuleReport().outcome, ModuleOutcome::Finished);
  ModuleEndedEarly("\n  ERROR! the first line   \n\n\t");
  ModuleEndedEarly(" and the second \r\n");
  ModuleReport r = TakeModuleReport();
  EXPECT_EQ(r.outcome, ModuleOutcome::EndedEarly);
  EXPECT_EQ(r.message, "ERROR! the first line\nand the second");
  EXPECT_EQ(TakeModuleReport().outcome, ModuleOutcome::Finished) << "taking it forgets it";

  ModuleEndedEarly("datdat.txt not exist");
  ModuleFailed("datdat.txt could not be written");
  ModuleEndedEarly("something after the failure");
  r = TakeModuleReport();
  EXPECT_EQ(r.outcome, ModuleOutcome::Failed);
  EXPECT_EQ(r.message, "datdat.txt could not be written");
  EXPECT_STREQ(ModuleOutcomeName(r.outcome), "failed");
}

// A module that reads a value it cannot convert says so on its page and
// ends early; the report carries the same words.
void RefusingModule() {
  TextOutput(2);
  PrintOut("\n working \n");
  PrintEndedEarly("\n ERROR! %d is not %s \n", 7, "a weight");
  PrintOut("\n done \n");
}

TEST(ModuleReport, PrintEndedEarlyPrintsExactlyAsPrintOut) {
  WorkbenchSession s({{"9- Team-analysis", RefusingModule}});
  ASSERT_TRUE(s.Run("9- Team-analysis")) << s.Error();
  // The page may hold what an earlier session of this program printed.
  const std::string printed = "\n working \n\n ERROR! 7 is not a weight \n\n done \n";
  const std::string page = s.Text(2);
  ASSERT_GE(page.size(), printed.size()) << page;
  EXPECT_EQ(page.substr(page.size() - printed.size()), printed);
  EXPECT_EQ(s.Report().outcome, ModuleOutcome::EndedEarly);
  EXPECT_EQ(s.Report().message, "ERROR! 7 is not a weight");
}

// Values no date can hold are refused before any conversion: not a number,
// the infinities, far beyond the year 9999, below 0.
TEST(JulianDateTool, RefusesValuesOutsideTheCalendar) {
  WorkbenchSession s;
  const struct {
    const char* typed;
    const char* shown;
  } refused[] = {{"nan", " Julian date nan: only dates from 0 (4713 BC) to 5373484.5"},
                 {"inf", " Julian date inf: only dates from 0"},
                 {"-inf", " Julian date -inf: only dates from 0 (4713 BC) on are converted."},
                 {"1e20", " Julian date 100000000000000000000.000000: only dates from 0"},
                 {"5373484.5", " Julian date 5373484.500000: only dates from 0 (4713 BC) to 5373484.5 (the end of the year 9999) are converted."},
                 {"-0.5", " Julian date -0.500000: only dates from 0 (4713 BC) on are converted."}};
  for (const auto& c : refused) {
    s.Answer("Julian Date -> Julian date to date");
    s.Answer(std::string("Julian date -> ") + c.typed);
    ASSERT_TRUE(s.Run("17- Julian Date")) << s.Error();
    EXPECT_NE(s.Text(1).find(c.shown), std::string::npos) << c.typed << "\n" << s.Text(1);
    EXPECT_EQ(s.Text(1).find(" = "), std::string::npos) << c.typed << ": no date is printed\n" << s.Text(1);
    EXPECT_EQ(s.Report().outcome, ModuleOutcome::EndedEarly) << c.typed;
    EXPECT_EQ(s.Report().message.rfind(c.shown + 1, 0), 0u) << s.Report().message;
  }
  s.Answer("Julian Date -> Julian date to date");
  s.Answer("Julian date -> 5373484.49");
  ASSERT_TRUE(s.Run("17- Julian Date")) << s.Error();
  EXPECT_NE(s.Text(1).find("= 31.12.9999  23:45 world time"), std::string::npos) << s.Text(1);
  EXPECT_EQ(s.Report().outcome, ModuleOutcome::Finished);
}

TEST(Continuum, AReversedPeriodIsAnEarlyEndWithBothLines) {
  WorkbenchSession s({{"1- Statistics 1 - Continuum", RunContinuum}});
  for (const char* a : {"Order -> 3", "with IC -> yes", "Members -> 8", "Should planets be selected -> no",
                        "Should the planets get a weight -> no", "Should self -> no",
                        "Enter start-date -> 1.1.2000 0:00", "Enter end-date -> 1.1.1900 0:00"})
    s.Answer(a);
  ASSERT_TRUE(s.Run("1- Statistics 1 - Continuum")) << s.Error();
  EXPECT_EQ(s.Report().outcome, ModuleOutcome::EndedEarly);
  EXPECT_EQ(s.Report().message,
            "ERROR! start-date >= end- date! ERROR!!\nERROR! Your calculations become wrong! ERROR!");
}

}  // namespace
