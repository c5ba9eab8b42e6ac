// The chain as a user runs it: continuum, event analysis of members read
// from the Current_ lists, matrix probability. The control groups must
// take the moments, the weights and the units the way the event analysis
// takes its members', or a group that is one of them would not be
// reached as one, and a random group would not lie in the middle.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analyses/continuum.h"
#include "analyses/event_analysis.h"
#include "app/testing.h"
#include "core/calendar.h"
#include "probability/matrix_probability.h"

namespace {

const char* kContinuum = "1- Statistics 1 - Continuum";
const char* kEvents = "2- Event Analysis";
const char* kProbability = "4- Matrix Probability";

std::vector<ModuleEntry> Modules() {
  return {{kContinuum, RunContinuum}, {kEvents, RunEventAnalysis}, {kProbability, RunMatrixProbability}};
}

// A member: its universal time, and the clock of its zone and summer time.
struct Member {
  double ut;
  int zone, summer;
  double longitude, latitude;  // degrees.minutes, as the lists hold them
};

void WriteList(const std::string& name, const std::vector<std::string>& lines) {
  std::ofstream out("Current_" + name + ".txt", std::ios::binary);
  for (const std::string& l : lines) out << l << "\n";
}

void WriteMembers(const std::vector<Member>& members) {
  std::vector<std::string> last, first, city, lon, lat, zone, year, month, day, hour, minute, summer;
  for (const Member& m : members) {
    // The clock reads the universal time plus the zone and the summer time.
    const CalendarDate d = CalendarFromJulian(m.ut + (m.zone + m.summer) / 24.0);
    last.push_back("Random");
    first.push_back("Member");
    city.push_back("Somewhere");
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", m.longitude);
    lon.push_back(buf);
    std::snprintf(buf, sizeof buf, "%.2f", m.latitude);
    lat.push_back(buf);
    zone.push_back(std::to_string(m.zone));
    year.push_back(std::to_string(d.year));
    month.push_back(std::to_string(d.month));
    day.push_back(std::to_string(d.day));
    hour.push_back(std::to_string(d.hour));
    minute.push_back(std::to_string(d.minute));
    summer.push_back(std::to_string(m.summer));
  }
  WriteList("members", {std::to_string(members.size())});
  WriteList("Lastname", last);
  WriteList("Firstname", first);
  WriteList("City", city);
  WriteList("Longitude", lon);
  WriteList("Latitude", lat);
  WriteList("Timezone", zone);
  WriteList("Year", year);
  WriteList("Month", month);
  WriteList("Day", day);
  WriteList("Hour", hour);
  WriteList("Minute", minute);
  WriteList("Summertime", summer);
}

// Continuum (gravity weights, with the IC and self-correlation), then the
// event analysis of the listed members.
void GroupOf(WorkbenchSession& s, const std::vector<Member>& members) {
  const int n = static_cast<int>(members.size());
  s.Answer("Order of the correlation -> 3");
  s.Answer("with IC -> yes");
  s.Answer("Members of the group -> " + std::to_string(n));
  s.Answer("Should planets be selected -> no");
  s.Answer("Should the planets get a weight -> yes");
  s.Answer("weight of gravity -> 2");
  s.Answer("gravity planets -> - - - - - - - - - - -");
  s.Answer("Should self-correlations -> yes");
  s.Answer("Enter start-date -> 1.1.1950 0:00");
  s.Answer("Enter end-date -> 1.1.1970 0:00");
  s.Answer("* Number per interval -> 4");
  s.Answer("Selection accidental -> no");
  ASSERT_TRUE(s.Run(kContinuum)) << s.Error();

  WriteMembers(members);
  ASSERT_TRUE(s.CopyIn(std::string(SOURCE_DIR) + "/examples/persons.dbf"));
  s.Answer("Has the continuum run before -> yes");
  s.Answer("read data automatically -> yes");
  s.Answer("time shift d -> 0");
  s.Answer("time shift h -> 0");
  s.Answer("INPUT from *.dbf -> no");
  s.Answer("Open -> persons.dbf");  // the dialog comes whatever the answer
  s.Answer("Number of events OK -> " + std::to_string(n));
  s.Answer("Select event data -> 1 1 1 1 1 1 1 1 1 1 1 1");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
}

void Probability(WorkbenchSession& s, const std::string& start, const std::string& end, int groups) {
  s.Answer("Enter start-date -> " + start);
  s.Answer("Enter end-date -> " + end);
  s.Answer("NUMBER OF THE GROUPS? -> " + std::to_string(groups));
  ASSERT_TRUE(s.Run(kProbability)) << s.Error();
}

// One kind's section of the result page: the percentages of its cells
// (NaN for "    *   "), its row percentages and its total.
struct ErrorSection {
  std::vector<std::vector<double>> cell;
  std::vector<double> row;
  double total = NAN;
};

ErrorSection Section(const std::string& page, const std::string& kind) {
  ErrorSection e;
  const size_t at = page.find("  Matrix " + kind + " of the probability of error:   ");
  if (at == std::string::npos) return e;
  std::istringstream in(page.substr(at));
  std::string line;
  std::getline(in, line);  // caption
  std::getline(in, line);  // column numbers
  for (int i = 0; i <= 10 && std::getline(in, line); ++i) {
    std::vector<double> row;
    for (int j = 0; j <= 10; ++j) {
      const std::string cell = line.substr(6 + 8 * j, 8);
      row.push_back(cell == "    *   " ? NAN : std::stod(cell));
    }
    e.cell.push_back(row);
    const size_t pr = line.find(" PR");
    e.row.push_back(pr == std::string::npos ? NAN : std::stod(line.substr(pr + 3)));
  }
  std::getline(in, line);
  const size_t bigger = line.find("bigger are:");
  if (bigger != std::string::npos) e.total = std::stod(line.substr(bigger + 11));
  return e;
}

// Degrees and minutes as the lists write them (13.59: 13 degrees 59
// minutes), the minutes with the degrees' sign.
double Place(int degrees, double minutes) { return degrees < 0 ? degrees - minutes : degrees + minutes; }

const char* const kKindNames[] = {"H", "I", "D", "DA"};

// Members at one universal moment, on the clocks of three zones, at the
// control groups' place: every control group drawn from a period of that
// one minute is the group itself. Each cell is reached by every group
// (100 %), no row sum or total is exceeded (0 %).
TEST(MatrixProbabilityChain, AGroupOfTheOnlyMomentOfThePeriodIsReachedEverywhere) {
  WorkbenchSession s(Modules());
  const double ut = JulianDate(1960, 5, 10, 14, 20, 0, 0);
  GroupOf(s, {{ut, 1, 1, 13.59, 51.11}, {ut, 0, 0, 13.59, 51.11}, {ut, -5, 0, 13.59, 51.11}});
  Probability(s, "10.5.1960 14:20", "10.5.1960 14:20", 20);
  const std::string page = s.Text(3);
  for (const char* kind : kKindNames) {
    const ErrorSection e = Section(page, kind);
    ASSERT_EQ(e.cell.size(), 11u) << kind;
    for (int i = 0; i <= 10; ++i) {
      for (int j = 0; j <= 10; ++j) EXPECT_EQ(e.cell[i][j], 100.0) << kind << " " << i << " " << j;
      EXPECT_EQ(e.row[i], 0.0) << kind << " " << i;
    }
    EXPECT_EQ(e.total, 0.0) << kind;
  }
}

// Real groups drawn at random from the period, with clocks of various
// zones and summer times at various places: the percentages of their
// cells spread over 0..100 around 50, few at the edges.
TEST(MatrixProbabilityChain, RandomGroupsOfThePeriodLieAroundTheMiddle) {
  std::mt19937 random(20261208);
  std::uniform_real_distribution<double> unit(0, 1);
  std::uniform_int_distribution<int> zone(-5, 5), summer(0, 1), degrees(-50, 60);
  const double jd0 = JulianDate(1950, 1, 1, 0, 0, 0, 0), jd1 = JulianDate(1970, 1, 1, 0, 0, 0, 0);
  std::vector<double> all;
  for (int run = 0; run < 3; ++run) {
    std::vector<Member> members;
    for (int m = 0; m < 12; ++m)
      members.push_back({jd0 + 0.01 + unit(random) * (jd1 - jd0 - 0.1), zone(random), summer(random),
                         Place(degrees(random), 0.3), Place(degrees(random), 0.2)});
    WorkbenchSession s(Modules());
    GroupOf(s, members);
    Probability(s, "1.1.1950 0:00", "1.1.1970 0:00", 200);
    const std::string page = s.Text(3);
    for (const char* kind : kKindNames) {
      const ErrorSection e = Section(page, kind);
      ASSERT_EQ(e.cell.size(), 11u) << kind;
      for (int i = 0; i <= 10; ++i) {
        for (int j = i + 1; j <= 10; ++j) all.push_back(e.cell[i][j]);
        all.push_back(e.row[i]);
      }
    }
  }
  double sum = 0;
  int middle = 0, edge = 0, low = 0, high = 0;
  for (double p : all) {
    sum += p;
    middle += p > 5 && p < 95;
    edge += p <= 1 || p >= 99;
    low += p < 50;
    high += p > 50;
  }
  const double n = static_cast<double>(all.size());
  EXPECT_NEAR(sum / n, 50.0, 10.0);
  EXPECT_GT(middle / n, 0.75) << "about 90 % expected between 5 and 95";
  EXPECT_LT(edge / n, 0.08) << "about 2 % expected at 1 or 99 and beyond";
  EXPECT_GT(low / n, 0.3);
  EXPECT_GT(high / n, 0.3);
}

}  // namespace
