#include "app/chart_command.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/calendar.h"
#include "core/chart.h"
#include "core/ephemeris.h"
#include "core/matrices.h"
#include "core/precise.h"
#include "core/waves.h"

namespace {

const char kUsage[] =
    "usage: kmwb chart    [--ephemeris E | --compare] [--tsv] [--batch | Y M D h m s zone summer lonDeg lonMin latDeg latMin]\n"
    "       kmwb matrices (--order P | --fixed) [--ephemeris E] [--tsv] [--batch | the same twelve integers]\n"
    "  Y M D h m s   civil date and clock time (year -4712..9999)\n"
    "  zone          hours east of Greenwich (-24..24), summer: hours of summer time (-24..24)\n"
    "  lonDeg lonMin longitude, east positive; latDeg latMin latitude, north positive\n"
    "                (minutes carry the sign of the degrees)\n"
    "  --tsv         one line of tab-separated numbers per moment\n"
    "  --batch       one moment per line of standard input, one output line each\n"
    "  --order P     harmonic order 1..12 of the matrices; --fixed: the fixed order-3 forms\n"
    "  --ephemeris E classic (the default, or KMWB_EPHEMERIS) or precise (the Swiss Ephemeris)\n"
    "  --compare     the classic and the precise chart side by side, differences in arc minutes\n";

struct Options {
  bool matrices = false;
  bool compare = false;
  bool tsv = false;
  bool batch = false;
  bool fixed = false;
  int order = 0;
  const char* numbers[12] = {};
  int numberCount = 0;
};

// A whole decimal integer within int range, or false.
bool ParseInteger(const char* text, long& value) {
  errno = 0;
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && errno == 0 && value >= -2147483647L && value <= 2147483647L;
}

bool IsLeapYear(int year, bool gregorian) {
  if (!gregorian) return year % 4 == 0;
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Checks the twelve numbers and fills the moment; on failure `error`
// says which field is wrong.
bool MomentFromNumbers(const long (&v)[12], ChartMoment& m, std::string& error) {
  struct Field {
    const char* name;
    long low, high;
  };
  static const Field kFields[12] = {
      {"year", -4712, 9999},       {"month", 1, 12},
      {"day", 1, 31},              {"hour", 0, 23},
      {"minute", 0, 59},           {"second", 0, 59},
      {"zone", -24, 24},           {"summer time", -24, 24},
      {"longitude degrees", -360, 360}, {"longitude minutes", -360, 360},
      {"latitude degrees", -90, 90},    {"latitude minutes", -360, 360},
  };
  for (int i = 0; i < 12; ++i) {
    if (v[i] < kFields[i].low || v[i] > kFields[i].high) {
      error = std::string(kFields[i].name) + " " + std::to_string(v[i]) + " is outside " +
              std::to_string(kFields[i].low) + ".." + std::to_string(kFields[i].high);
      return false;
    }
  }
  const int year = int(v[0]), month = int(v[1]), day = int(v[2]);
  if (year == 1582 && month == 10 && day > 4 && day < 15) {
    error = "1582-10-05 .. 1582-10-14 do not exist (the calendar reform)";
    return false;
  }
  const bool gregorian = year > 1582 || (year == 1582 && month >= 10);
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int length = kDays[month - 1] + (month == 2 && IsLeapYear(year, gregorian) ? 1 : 0);
  if (day > length) {
    error = "day " + std::to_string(day) + " is past the end of month " + std::to_string(month);
    return false;
  }
  const double latitude = std::fabs(v[10] + v[11] / 60.0);
  if (latitude > 90) {
    error = "latitude beyond 90 degrees";
    return false;
  }
  m.year = year, m.month = month, m.day = day;
  m.hour = int(v[3]), m.minute = int(v[4]), m.second = int(v[5]);
  m.timeZone = int(v[6]), m.summerTime = int(v[7]);
  m.longitudeDegrees = int(v[8]), m.longitudeMinutes = int(v[9]);
  m.latitudeDegrees = int(v[10]), m.latitudeMinutes = int(v[11]);
  return true;
}

bool ParseMoment(const char* const* words, int count, ChartMoment& m, std::string& error) {
  if (count != 12) {
    error = "expected twelve integers (Y M D h m s zone summer lonDeg lonMin latDeg latMin), got " +
            std::to_string(count);
    return false;
  }
  long v[12];
  for (int i = 0; i < 12; ++i) {
    if (!ParseInteger(words[i], v[i])) {
      error = std::string("\"") + words[i] + "\" is not an integer";
      return false;
    }
  }
  return MomentFromNumbers(v, m, error);
}

// Splits a line into at most 13 whitespace-separated words (13 so that a
// thirteenth word is noticed), in place.
int SplitWords(char* line, const char* (&words)[13]) {
  int count = 0;
  for (char* token = std::strtok(line, " \t\r\n"); token; token = std::strtok(nullptr, " \t\r\n")) {
    if (count == 13) return 14;
    words[count++] = token;
  }
  return count;
}

const char* const kSigns[12] = {"Ari", "Tau", "Gem", "Cnc", "Leo", "Vir",
                                "Lib", "Sco", "Sgr", "Cap", "Aqr", "Psc"};

// "Cap 10°22'" for a longitude in degrees, minutes truncated.
std::string SignDegreeMinute(double longitude) {
  double x = longitude;
  if (x >= 360) x -= 360;
  if (x < 0) x += 360;
  const int totalMinutes = static_cast<int>(x * 60);
  const int sign = totalMinutes / 1800 % 12;
  char text[32];
  std::snprintf(text, sizeof text, "%s %2d\u00b0%02d'", kSigns[sign], totalMinutes % 1800 / 60, totalMinutes % 60);
  return text;
}

void PrintChartTable(const ChartMoment& m, const ChartRecord& c) {
  std::printf("Chart for %04d-%02d-%02d %02d:%02d:%02d, zone %d, summer time %d, "
              "longitude %d %d', latitude %d %d'\n",
              m.year, m.month, m.day, m.hour, m.minute, m.second, m.timeZone, m.summerTime,
              m.longitudeDegrees, m.longitudeMinutes, m.latitudeDegrees, m.latitudeMinutes);
  std::printf("JD %.6f (UT)   local sidereal time %.6f h\n\n", c.jd, c.lst);
  std::printf("%-8s %12s  %-10s %11s %13s\n", "body", "longitude", "sign", "latitude", "motion/day");
  for (int b = 0; b < 10; ++b) {
    std::printf("%-8s %12.6f  %-11s", BodyName(b), c.pos[b], SignDegreeMinute(c.pos[b]).c_str());
    if (b == 0)
      std::printf(" %11s", "");
    else
      std::printf(" %11.6f", c.lat[b - 1] * 57.29577951308232);
    if (b == 1)
      std::printf(" %13s\n", "");
    else
      std::printf(" %13.6f%s\n", c.motion[b], c.motion[b] < 0 ? " R" : "");
  }
  const char* const angles[4] = {"IC", "AC", "MC", "node"};
  for (int i = 0; i < 4; ++i)
    std::printf("%-8s %12.6f  %-11s\n", angles[i], c.pos[10 + i], SignDegreeMinute(c.pos[10 + i]).c_str());
  std::printf("(latitudes in degrees; R: retrograde; node: mean ascending node of the Moon)\n");
  if (CurrentEphemeris() == Ephemeris::Precise)
    std::printf("(precise ephemeris: apparent positions, true equinox of date, Swiss Ephemeris)\n");
}

// precise - classic in arc minutes, the shorter way round.
double ArcMinutes(double precise, double classic) { return std::remainder(precise - classic, 360.0) * 60; }

void PrintComparison(const ChartMoment& m, const ChartRecord& classic, const ChartRecord& precise) {
  std::printf("Chart for %04d-%02d-%02d %02d:%02d:%02d, zone %d, summer time %d, "
              "longitude %d %d', latitude %d %d'\n",
              m.year, m.month, m.day, m.hour, m.minute, m.second, m.timeZone, m.summerTime,
              m.longitudeDegrees, m.longitudeMinutes, m.latitudeDegrees, m.latitudeMinutes);
  std::printf("JD %.6f (UT)   local sidereal time: classic %.6f h, precise %.6f h\n\n", classic.jd, classic.lst,
              precise.lst);
  std::printf("%-8s %12s %12s %10s %11s %11s %10s\n", "body", "classic", "precise", "diff '", "lat classic",
              "lat precise", "diff '");
  const char* const angles[4] = {"IC", "AC", "MC", "node"};
  for (int b = 0; b < 14; ++b) {
    std::printf("%-8s %12.6f %12.6f %+10.3f", b < 10 ? BodyName(b) : angles[b - 10], classic.pos[b], precise.pos[b],
                ArcMinutes(precise.pos[b], classic.pos[b]));
    if (b >= 1 && b < 10) {
      const double lc = classic.lat[b - 1] * 57.29577951308232, lp = precise.lat[b - 1] * 57.29577951308232;
      std::printf(" %11.6f %11.6f %+10.3f", lc, lp, (lp - lc) * 60);
    }
    std::putchar('\n');
  }
  std::printf("(degrees; diff: precise less classic in arc minutes; the classic chart: mean elements, mean\n"
              " equinox, no Delta T; the precise one: apparent positions, true equinox, Swiss Ephemeris)\n");
}

void PrintChartTsv(const ChartRecord& c) {
  const double* values = reinterpret_cast<const double*>(&c);
  static_assert(sizeof(ChartRecord) == 41 * sizeof(double));
  for (int i = 0; i < 41; ++i) std::printf(i ? "\t%.9f" : "%.9f", values[i]);
  std::putchar('\n');
}

const char* const kMatrixLabels[11] = {"SUN", "MOON", "MERC", "VENUS", "MARS", "JUPIT",
                                       "SATURN", "URANUS", "NEPT", "PLUTO", "IC"};

void PrintMatrixTable(const char* title, const HarmonicMatrix& m) {
  std::printf("%s\n%-7s", title, "");
  for (const char* label : kMatrixLabels) std::printf(" %9s", label);
  std::putchar('\n');
  for (int i = 0; i < 11; ++i) {
    std::printf("%-7s", kMatrixLabels[i]);
    for (int j = 0; j < 11; ++j) std::printf(" %9.4f", m[i][j]);
    std::putchar('\n');
  }
  std::putchar('\n');
}

void PrintMatricesTsv(const HarmonicMatrices& m) {
  bool first = true;
  for (const HarmonicMatrix* matrix : {&m.H, &m.I, &m.D})
    for (int i = 0; i < 11; ++i)
      for (int j = 0; j < 11; ++j) {
        std::printf(first ? "%.9f" : "\t%.9f", (*matrix)[i][j]);
        first = false;
      }
  std::putchar('\n');
}

struct Runner {
  const Options& options;
  const WaveTables* tables = nullptr;
  std::unique_ptr<HarmonicMatrices> matrices = std::make_unique<HarmonicMatrices>();

  void Output(const ChartMoment& m) {
    ChartRecord chart{};
    if (options.compare) {
      ChartRecord precise{};
      ClassicChart(m, chart);
      PreciseChartAtJulianDate(ChartTime(m), m, precise);
      PrintComparison(m, chart, precise);
      return;
    }
    ComputeChart(m, chart);
    if (!options.matrices) {
      if (options.tsv)
        PrintChartTsv(chart);
      else
        PrintChartTable(m, chart);
      return;
    }
    const MatrixForm form = options.fixed ? MatrixForm::Fixed3 : MatrixForm::OrderP;
    BuildMatrices(*tables, form, options.order, chart, *matrices);
    if (options.tsv) {
      PrintMatricesTsv(*matrices);
      return;
    }
    char heading[160];
    std::snprintf(heading, sizeof heading, "%04d-%02d-%02d %02d:%02d:%02d zone %d summer %d, %s",
                  m.year, m.month, m.day, m.hour, m.minute, m.second, m.timeZone, m.summerTime,
                  options.fixed ? "fixed order 3" : ("order " + std::to_string(options.order)).c_str());
    std::printf("Matrices for %s\n\n", heading);
    PrintMatrixTable("H (harmony)", matrices->H);
    PrintMatrixTable("I (energy)", matrices->I);
    PrintMatrixTable("D (dynamic)", matrices->D);
  }
};

int Usage(const char* problem) {
  std::fprintf(stderr, "kmwb %s\n%s", problem, kUsage);
  return 2;
}

}  // namespace

int RunChartCommand(int argc, char** argv) {
  if (argc < 1) return Usage("chart: no command");
  Options options;
  options.matrices = std::strcmp(argv[0], "matrices") == 0;
  Ephemeris ephemeris = Ephemeris::Classic;
  if (const char* chosen = std::getenv("KMWB_EPHEMERIS"); chosen && *chosen && !EphemerisFromName(chosen, ephemeris))
    return Usage((std::string(argv[0]) + ": KMWB_EPHEMERIS wants classic or precise, not \"" + chosen + "\"").c_str());
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (std::strcmp(a, "--tsv") == 0) {
      options.tsv = true;
    } else if (std::strcmp(a, "--batch") == 0) {
      options.batch = true;
    } else if (std::strcmp(a, "--ephemeris") == 0) {
      Ephemeris e;
      if (i + 1 >= argc || !EphemerisFromName(argv[i + 1], e))
        return Usage((std::string(argv[0]) + ": --ephemeris needs classic or precise").c_str());
      ephemeris = e;
      ++i;
    } else if (!options.matrices && std::strcmp(a, "--compare") == 0) {
      options.compare = true;
    } else if (options.matrices && std::strcmp(a, "--fixed") == 0) {
      options.fixed = true;
    } else if (options.matrices && std::strcmp(a, "--order") == 0) {
      long p = 0;
      if (i + 1 >= argc || !ParseInteger(argv[i + 1], p) || p < 1 || p > 12)
        return Usage("matrices: --order needs an order from 1 to 12");
      options.order = int(p);
      ++i;
    } else if (a[0] == '-' && a[1] == '-') {
      return Usage((std::string(argv[0]) + ": unknown option " + a).c_str());
    } else {
      if (options.numberCount == 12) return Usage((std::string(argv[0]) + ": more than twelve numbers").c_str());
      options.numbers[options.numberCount++] = a;
    }
  }
  if (options.matrices && !options.fixed && options.order == 0)
    return Usage("matrices: give --order P (1..12) or --fixed");
  if (options.matrices && options.fixed && options.order != 0)
    return Usage("matrices: --order and --fixed exclude each other");
  if (options.batch && options.numberCount > 0)
    return Usage((std::string(argv[0]) + ": --batch reads the moments from standard input, not the command line").c_str());

  if (options.compare && options.tsv) return Usage("chart: --compare prints a table, not --tsv");
  SetCurrentEphemeris(ephemeris);

  Runner runner{options};
  if (options.matrices) runner.tables = &SharedWaveTables();

  if (!options.batch) {
    ChartMoment m;
    std::string error;
    if (!ParseMoment(options.numbers, options.numberCount, m, error))
      return Usage((std::string(argv[0]) + ": " + error).c_str());
    runner.Output(m);
    std::fflush(stdout);
    return std::ferror(stdout) ? 1 : 0;
  }

  static char outputBuffer[1 << 16];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  char line[4096];
  long lineNumber = 0;
  long badLines = 0;
  while (std::fgets(line, sizeof line, stdin)) {
    ++lineNumber;
    const std::size_t length = std::strlen(line);
    std::string error;
    ChartMoment m;
    bool ok;
    if (length == sizeof line - 1 && line[length - 1] != '\n') {
      // Too long for a moment: skip the rest of it.
      int ch;
      while ((ch = std::getchar()) != EOF && ch != '\n') {
      }
      error = "line too long";
      ok = false;
    } else {
      const char* words[13];
      const int count = SplitWords(line, words);
      ok = ParseMoment(words, count > 12 ? 13 : count, m, error);
    }
    if (!ok) {
      ++badLines;
      std::fprintf(stderr, "kmwb %s: line %ld: %s\n", argv[0], lineNumber, error.c_str());
      std::putchar('\n');
      continue;
    }
    runner.Output(m);
  }
  std::fflush(stdout);
  if (std::ferror(stdout)) {
    std::fprintf(stderr, "kmwb %s: writing the output failed\n", argv[0]);
    return 1;
  }
  if (std::ferror(stdin)) {
    std::fprintf(stderr, "kmwb %s: reading standard input failed after line %ld\n", argv[0], lineNumber);
    return 1;
  }
  return badLines ? 1 : 0;
}
