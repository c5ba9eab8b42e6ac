// The tests under chance: real groups of random moments from the control
// period, through the continuum, the event analysis and the matrix
// probability as a user runs them. Their global p-values must be
// uniform, and a discovery (q <= 0.05) must be as rare as the false-
// discovery rate allows.
//
// Three bodies (Sun, Moon, Mars, without IC) keep the family at 24 cells,
// so that 500 control groups rarely tie at the edge of a cell (the
// smallest global p they allow is about 0.09): the global p-values are
// then close to continuous.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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
#include "qzk/random.h"
#include "read_file.h"

namespace {

const char* kContinuum = "1- Statistics 1 - Continuum";
const char* kEvents = "2- Event Analysis";
const char* kProbability = "4- Matrix Probability";

constexpr int kRealGroups = 40;
constexpr int kMembers = 12;
constexpr int kControlGroups = 500;

void WriteList(const std::string& name, const std::vector<std::string>& lines) {
  std::ofstream out("Current_" + name + ".txt", std::ios::binary);
  for (const std::string& l : lines) out << l << "\n";
}

// Members at the given universal times, on the clock of zone 0.
void WriteMembers(const std::vector<double>& moments) {
  std::vector<std::string> names, places, lon, lat, zero, year, month, day, hour, minute;
  for (double ut : moments) {
    const CalendarDate d = CalendarFromJulian(ut);
    names.push_back("Random");
    places.push_back("Somewhere");
    lon.push_back("13.24");
    lat.push_back("52.31");
    zero.push_back("0");
    year.push_back(std::to_string(d.year));
    month.push_back(std::to_string(d.month));
    day.push_back(std::to_string(d.day));
    hour.push_back(std::to_string(d.hour));
    minute.push_back(std::to_string(d.minute));
  }
  WriteList("members", {std::to_string(moments.size())});
  WriteList("Lastname", names);
  WriteList("Firstname", names);
  WriteList("City", places);
  WriteList("Longitude", lon);
  WriteList("Latitude", lat);
  WriteList("Timezone", zero);
  WriteList("Year", year);
  WriteList("Month", month);
  WriteList("Day", day);
  WriteList("Hour", hour);
  WriteList("Minute", minute);
  WriteList("Summertime", zero);
}

struct RunFigures {
  double globalP = 2;  // the smallest adjusted p of the family
  bool discovery = false;
  int family = 0;
};

// The global p-value and the discoveries of a run, from its cells.csv.
RunFigures FiguresOf(const std::string& csv) {
  RunFigures f;
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::istringstream record(line.substr(0, line.find('\r')));
    for (std::string field; std::getline(record, field, ',');) fields.push_back(field);
    if (fields.size() != 18 || fields[17] != "1") continue;
    ++f.family;
    f.globalP = std::min(f.globalP, std::stod(fields[15]));
    f.discovery = f.discovery || std::stod(fields[14]) <= 0.05;
  }
  return f;
}

// Kolmogorov's limit distribution with Stephens' correction for n values:
// the probability of a distance at least d from the uniform.
double KolmogorovSmirnovP(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const double n = static_cast<double>(values.size());
  double d = 0;
  for (std::size_t i = 0; i < values.size(); ++i)
    d = std::max({d, (i + 1) / n - values[i], values[i] - i / n});
  const double lambda = (std::sqrt(n) + 0.12 + 0.11 / std::sqrt(n)) * d;
  double p = 0;
  for (int k = 1; k <= 100; ++k) p += 2 * (k % 2 ? 1 : -1) * std::exp(-2.0 * k * k * lambda * lambda);
  return std::clamp(p, 0.0, 1.0);
}

TEST(KolmogorovSmirnovP, TellsUniformFromSkewed) {
  std::vector<double> even, low;
  for (int i = 0; i < 40; ++i) {
    even.push_back((i + 0.5) / 40);
    low.push_back(std::pow((i + 0.5) / 40, 3));
  }
  EXPECT_GT(KolmogorovSmirnovP(even), 0.99);
  EXPECT_LT(KolmogorovSmirnovP(low), 1e-4);
}

TEST(MatrixProbabilityUnderChance, GlobalPValuesAreUniformAndDiscoveriesRare) {
  WorkbenchSession s({{kContinuum, RunContinuum}, {kEvents, RunEventAnalysis}, {kProbability, RunMatrixProbability}});
  s.Answer("Order of the correlation -> 3");
  s.Answer("with IC -> no");
  s.Answer("Members of the group -> " + std::to_string(kMembers));
  s.Answer("Should planets be selected -> yes");
  s.Answer("selected planets -> 1 1 0 0 1 0 0 0 0 0 0");
  s.Answer("Should self-correlations -> no");
  s.Answer("Enter start-date -> 1.1.1950 0:00");
  s.Answer("Enter end-date -> 1.1.1970 0:00");
  s.Answer("* Number per interval -> 4");
  s.Answer("Selection accidental -> no");
  ASSERT_TRUE(s.Run(kContinuum)) << s.Error();
  ASSERT_TRUE(s.CopyIn(std::string(SOURCE_DIR) + "/examples/persons.dbf"));

  std::mt19937 random(20261209);
  std::uniform_real_distribution<double> unit(0, 1);
  const double jd0 = JulianDate(1950, 1, 1, 0, 0, 0, 0), jd1 = JulianDate(1970, 1, 1, 0, 0, 0, 0);
  std::vector<double> globalP;
  int discoveries = 0;
  for (int run = 0; run < kRealGroups; ++run) {
    std::vector<double> moments;
    for (int m = 0; m < kMembers; ++m) moments.push_back(jd0 + unit(random) * (jd1 - jd0));
    WriteMembers(moments);
    s.Answer("Has the continuum run before -> yes");
    s.Answer("read data automatically -> yes");
    s.Answer("time shift d -> 0");
    s.Answer("time shift h -> 0");
    s.Answer("INPUT from *.dbf -> no");
    s.Answer("Open -> persons.dbf");
    s.Answer("Number of events OK -> " + std::to_string(kMembers));
    s.Answer("Select event data -> 1 1 1 1 1 1 1 1 1 1 1 1");
    ASSERT_TRUE(s.Run(kEvents)) << s.Error();

    qzrandom_seed(1000 + run);
    s.Answer("Enter start-date -> 1.1.1950 0:00");
    s.Answer("Enter end-date -> 1.1.1970 0:00");
    s.Answer("NUMBER OF THE GROUPS? -> " + std::to_string(kControlGroups));
    ASSERT_TRUE(s.Run(kProbability)) << s.Error();

    const RunFigures f = FiguresOf(ReadFile("cells.csv"));
    ASSERT_EQ(f.family, 4 * (3 + 3)) << "three pairs and three row sums per matrix";
    globalP.push_back(f.globalP);
    discoveries += f.discovery;
  }
  std::ostringstream all;
  for (double p : globalP) all << " " << p;
  const double ks = KolmogorovSmirnovP(globalP);
  std::printf("calibration: %i real groups, %i control groups each: Kolmogorov-Smirnov p = %.3f, "
              "%i with a cell at q <= 0.05; global p-values:%s\n",
              kRealGroups, kControlGroups, ks, discoveries, all.str().c_str());
  EXPECT_GT(ks, 0.01) << "global p-values:" << all.str();
  EXPECT_LE(discoveries, 4) << "groups with a cell at q <= 0.05, of " << kRealGroups;
}

}  // namespace
