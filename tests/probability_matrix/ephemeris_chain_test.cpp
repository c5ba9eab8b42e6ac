// The chain continuum, event analysis, matrix probability on each
// ephemeris, and the refusal to combine a continuum of one ephemeris
// with a run of the other.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "analyses/continuum.h"
#include "analyses/event_analysis.h"
#include "app/module_report.h"
#include "app/testing.h"
#include "core/ephemeris.h"
#include "probability/matrix_probability.h"

namespace {

const char* kContinuum = "1- Statistics 1 - Continuum";
const char* kEvents = "2- Event Analysis";
const char* kProbability = "4- Matrix Probability";

std::vector<ModuleEntry> Modules() {
  return {{kContinuum, RunContinuum}, {kEvents, RunEventAnalysis}, {kProbability, RunMatrixProbability}};
}

std::string Slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "(missing)";
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& name) { return static_cast<bool>(std::ifstream(name)); }

// Every page's text, for the messages wherever a module printed them.
std::string AllText(const WorkbenchSession& s) {
  std::string all;
  for (int page = 0; page <= 6; ++page) all += s.Text(page);
  return all;
}

// Sets the ephemeris for a test and the classic one back after it.
struct EphemerisScope {
  explicit EphemerisScope(Ephemeris e) { SetCurrentEphemeris(e); }
  ~EphemerisScope() { SetCurrentEphemeris(Ephemeris::Classic); }
};

void Continuum(WorkbenchSession& s) {
  s.Answer("Order of the correlation -> 3");
  s.Answer("with IC -> yes");
  s.Answer("Members of the group -> 8");
  s.Answer("Should planets be selected -> no");
  s.Answer("Should the planets get a weight -> no");
  s.Answer("Should self-correlations -> yes");
  s.Answer("Enter start-date -> 1.1.1960 0:00");
  s.Answer("Enter end-date -> 1.1.1964 0:00");
  s.Answer("* Number per interval -> 40");
  s.Answer("Selection accidental -> no");
  ASSERT_TRUE(s.Run(kContinuum)) << s.Error();
}

// The event analysis of the eight members of the example person file.
void Events(WorkbenchSession& s) {
  ASSERT_TRUE(s.CopyIn(std::string(SOURCE_DIR) + "/examples/persons.dbf"));
  s.Answer("Has the continuum run before -> yes");
  s.Answer("read data automatically -> yes");
  s.Answer("time shift d -> 0");
  s.Answer("time shift h -> 0");
  s.Answer("INPUT from *.dbf -> yes");
  s.Answer("Open -> persons.dbf");
  s.Answer("offset in database -> 1");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
}

void Probability(WorkbenchSession& s) {
  s.Answer("Enter start-date -> 1.1.1960 0:00");
  s.Answer("Enter end-date -> 1.1.1964 0:00");
  s.Answer("NUMBER OF THE GROUPS? -> 3");
  ASSERT_TRUE(s.Run(kProbability)) << s.Error();
}

// The whole chain on one ephemeris: the group's row sums of H.
std::string ChainOn(Ephemeris e) {
  EphemerisScope scope(e);
  WorkbenchSession s(Modules());
  Continuum(s);
  EXPECT_EQ(Exists("ephemeris.txt"), e == Ephemeris::Precise);
  if (e == Ephemeris::Precise) {
    EXPECT_EQ(Slurp("ephemeris.txt"), "precise\n");
  }
  Events(s);
  EXPECT_TRUE(Exists("zsummh.txt"));
  Probability(s);
  const std::string text = AllText(s);
  EXPECT_EQ(text.find("ERROR"), std::string::npos) << text;
  EXPECT_NE(text.find("ENDE G"), std::string::npos) << "the control groups ran";
  return Slurp("zsummh.txt");
}

TEST(EphemerisChain, RunsOnEachEphemerisWithItsOwnCharts) {
  const std::string classic = ChainOn(Ephemeris::Classic);
  const std::string precise = ChainOn(Ephemeris::Precise);
  EXPECT_NE(classic, "(missing)");
  EXPECT_NE(precise, "(missing)");
  EXPECT_NE(classic, precise) << "the precise charts reached the event analysis";
}

TEST(EphemerisChain, RefusesAContinuumOfTheOtherEphemeris) {
  WorkbenchSession s(Modules());
  {
    EphemerisScope precise(Ephemeris::Precise);
    Continuum(s);
  }
  Events(s);  // classic now
  const std::string text = AllText(s);
  EXPECT_NE(text.find("The continuum was computed with the precise ephemeris, this run uses the classic ephemeris"),
            std::string::npos)
      << text;
  EXPECT_FALSE(Exists("zsummh.txt")) << "the refused analysis wrote nothing";
  EXPECT_EQ(s.Report().outcome, ModuleOutcome::EndedEarly);
  EXPECT_NE(s.Report().message.find("precise ephemeris"), std::string::npos) << s.Report().message;

  // A precise event analysis, then matrix probability on the classic one.
  {
    EphemerisScope precise(Ephemeris::Precise);
    Events(s);
  }
  ASSERT_TRUE(Exists("zsummh.txt"));
  Probability(s);
  const std::string after = AllText(s);
  EXPECT_EQ(after.find("ENDE G"), std::string::npos) << "no control groups were drawn";
  EXPECT_NE(after.find("this run uses the classic ephemeris"), std::string::npos) << after;

  // A classic continuum takes the old record away.
  Continuum(s);
  EXPECT_FALSE(Exists("ephemeris.txt"));
}

TEST(EphemerisChain, RefusesAnUnreadableRecord) {
  WorkbenchSession s(Modules());
  Continuum(s);
  std::ofstream("ephemeris.txt") << "jpl\n";
  Events(s);
  EXPECT_NE(AllText(s).find("ephemeris.txt names neither the classic nor the precise ephemeris"), std::string::npos);
  EXPECT_FALSE(Exists("zsummh.txt"));
}

}  // namespace
