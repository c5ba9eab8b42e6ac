// The continuum's dialogs and the module as the menu runs it.
#include "analyses/continuum.h"

#include <array>
#include <string>
#include <vector>

#include "analyses/ephemeris_record.h"
#include "analyses/workfile_set.h"
#include "analyses/workfiles.h"
#include "app/dialogs.h"
#include "app/module_report.h"
#include "app/module_stop.h"
#include "app/output.h"
#include "core/precise.h"
#include "qzk/random.h"

namespace {

const std::vector<std::string> kWeightLabels = {"Sun",    "Moon",   "Mercury", "Venus",
                                                "Mars",   "Jupiter", "Saturn", "Uranus",
                                                "Neptune", "Pluto",  "IC"};

void PrintInfo() {
  PrintOut("\n RESEARCH K & M \n ");
  for (const char* line : {"\n\n Statistic 1 - CONTINUUM ",
                           "\n This module calculates the meam value of the selected correlations "
                           "over a period of time ",
                           "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
                           "\n You can find the results in Text 1 and Graphics 1"}) {
    PrintOut("%s", line);
    Pause(0.1);
  }
  PrintOut("\n INPUT Time-Continuum \n\n ");
  PrintOut("\n Coherence = 1; that means coherent \n");
}

// The weights 0..c of the parameters as the user chooses them; false when
// the program is ending.
bool AskWeights(ContinuumParams& p) {
  WeightTable& w = p.weights.body;
  const int c = p.weights.lastBody;
  w.fill(1.0);
  const int select = InputYesNo("Should planets be selected ?", 0);
  if (select < 0) return false;
  if (select == 1) {
    w[10] = w[11] = c == 10 ? 1.0 : 0.0;
    InputArray("selected planets", w.data(), kWeightLabels);
  } else {
    const int gravity = InputYesNo("Should the planets get a weight(gravity)?", 0);
    if (gravity < 0) return false;
    if (gravity == 1) {
      const int m = InputInt("weight of gravity\n 1= strong; 10= weak  \n(INPUT 0 to 10)? :  ", 0,
                             10, 0);
      w = GravityWeights(m, c);
      InputArray("gravity planets", w.data(), kWeightLabels);
    }
  }
  // A body that takes no part has no weight, whatever the array said.
  if (c < 10) w[10] = 0.0;
  return WeightsFit(w.data(), c + 1, kWeightLabels);
}

CalendarDate AskDate(const char* title, CalendarDate d) {
  int second = -1;
  InputDateTime(title, d.day, d.month, d.year, d.hour, d.minute, second);
  return d;
}

double DateJulian(const CalendarDate& d) { return ChartTime(ContinuumChartMoment(d)); }

// The period; false (after the error lines and the pause) when the start
// lies after the end.
bool AskPeriod(ContinuumParams& p, WorkfileSet& files) {
  p.start = AskDate("Enter start-date", CalendarDate{1900, 1, 1, 0, 0});
  CalendarDate endDefault = p.start;
  endDefault.year = 2100;
  p.end = AskDate("Enter end-date", endDefault);
  p.jdStart = DateJulian(p.start);
  p.jdEnd = DateJulian(p.end);
  // The period the later modules offer as their defaults.
  const std::array<int, 6> years = {p.start.year,  p.end.year, p.start.month,
                                    p.end.month,   p.start.day, p.end.day};
  files.Put(kStartEndYear, years);
  PrintOut("\n  JD_start: %f  JD_end: %f Difference: %f  ", p.jdStart, p.jdEnd,
           p.jdEnd - p.jdStart);
  if (p.jdStart > p.jdEnd) {
    PrintEndedEarly("\n ERROR! start-date >= end- date! ERROR!!   ");
    PrintEndedEarly("\n ERROR! Your calculations become wrong! ERROR!   ");
    Pause(10.0);
    return false;
  }
  return true;
}

void AskMoments(ContinuumParams& p, WorkfileSet& files) {
  p.moments = InputInt("\n* Number per interval (calculations):  ", 1, 900000, 200000);
  PrintOut("\n ATTENTION!  Intervallteiler %d \n ", p.moments);
  Pause(1.0);
  if (p.moments < 2) {
    PrintOut("\n ERROR! number per interval must be > 1. We set 100000; ERROR! ");
    p.moments = 100000;
  }
  const std::array<int, 1> g = {p.moments};
  files.Put(kDatIntervT, g);
  PrintOut("\n  Incremental  (day): %f  ", (p.jdEnd - p.jdStart) / p.moments);
}

}  // namespace

bool AskContinuum(ContinuumParams& p, WorkfileSet& files) {
  PrintInfo();
  p.order = InputInt(" \n Order of the correlation (1,2,3,...12): ", 1, 12, 3);
  const int ic = InputYesNo("with IC? ", 0);
  if (ic < 0) return false;
  p.weights.lastBody = ic == 1 ? 10 : 9;
  PrintOut(ic == 1 ? "\n Calculation with IC ! \n" : "\n Calculation without IC ! \n");
  p.members = InputInt("Members of the group (INPUT integer)? :  ", 1, 1000, 1);
  const std::array<int, 2> dat = {p.weights.lastBody, p.members};
  const std::array<int, 1> ord = {p.order};
  files.Put(kDatDat, dat);
  files.Put(kDatOrd, ord);

  if (!AskWeights(p)) return false;
  const int self = InputYesNo("Should self-correlations of the planets be calculated? ", 0);
  if (self < 0) return false;
  p.weights.selfCorrelation = self == 1;
  const std::array<int, 1> s = {self};
  files.Put(kSelfKorr, s);

  if (p.members < 1) {
    PrintOut("\n ERROR! Members of the group must be >= 1. We set 1; ERROR! \n");
    p.members = 1;
  }
  const std::array<int, 1> members = {p.members};
  files.Put(kEventsDat, members);
  files.Put(kDatPlanet, std::span<const double>(p.weights.body.data(), p.weights.lastBody + 1));

  if (!AskPeriod(p, files)) return false;
  AskMoments(p, files);
  const int random = InputYesNo("Selection accidental?", 0);
  if (random < 0) return false;
  p.random = random == 1;
  return true;
}

void RunContinuum() {
  ContinuumParams p;
  // Every file of the run, written only once the tables are made.
  WorkfileSet files;
  if (!AskContinuum(p, files)) return;
  TextOutput(1);
  ClearOutput();
  ContinuumResult result;
  int shownPercent = -1;
  // The precise ephemeris' charts of the period from one table.
  const PreciseSpan span(p.jdStart, p.jdEnd);
  ComputeContinuum(p, SharedWaveTables(), qzrand, result, [&](int done) {
    const int percent = static_cast<int>(static_cast<long long>(done) * 100 / p.moments);
    if (percent != shownPercent) SetProgress(percent);
    shownPercent = percent;
    KeepAlive();
  });
  if (result.stopped) {
    StopNote("\n stopped after %d of %d moments; no working file changed \n", result.done, p.moments);
    return;
  }
  ReportContinuum(p, result, files);
  RecordContinuumEphemeris(CurrentEphemeris(), files);
  if (!files.Commit()) return;
  if (!ForgetContinuumEphemeris(CurrentEphemeris())) {
    PrintFailed("\n %s could not be removed; the event analysis will refuse this continuum \n",
                kContinuumEphemeris.name);
  }
  PlayModuleSound();
}
