// The resonance-curve module: asks the order, the weights, the person, the
// coupling factor and the period, computes the four kinds of curves and
// draws them on graphic pages 1 to 4.
#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "analyses/continuum.h"
#include "analyses/settings_files.h"
#include "analyses/workfile_set.h"
#include "analyses/workfiles.h"
#include "app/dialogs.h"
#include "app/file_choice.h"
#include "app/module_report.h"
#include "app/module_stop.h"
#include "app/output.h"
#include "app/shell.h"
#include "core/calendar.h"
#include "core/precise.h"
#include "data/event_record.h"
#include "data/person_entry.h"
#include "data/person_file.h"
#include "probability/curves.h"
#include "probability/record_curves.h"
#include "probability/resonance.h"
#include "qzk/graphic.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr int kPageWidth = 2304;
constexpr int kPageHeight = 1500;

const std::vector<std::string> kBodyFields{"Sun",    "Moon",   "Mercury", "Venus",
                                           "Mars",   "Jupiter", "Saturn", "Uranus",
                                           "Neptune", "Pluto", "IC"};

struct Period {
  int tlk = 2;  // 1 more years, 2 one year, 3 one month, 4 one day
  double startJd = 0, endJd = 0;
  double years = 1;
};

// The weights the last continuum or event analysis used, or the gravity
// table when there are none; shown for editing and written back. The file
// keeps as many lines as datdat.txt gives bodies (c + 1), as every reader
// expects; without datdat.txt the highest body asked (`mic`) counts.
bool AskWeights(WeightTable& w, int mic, WorkfileSet& files) {
  // The gravity table (its spare twelfth slot is not a body).
  std::copy_n(kGravityWeights.begin(), kBodies, w.begin());
  int c = mic;
  if (WorkFileExists(kDatDat)) {
    auto dat = ReadIntegers(kDatDat, 2, MissingFileNotice{2.0});
    if (dat && ((*dat)[0] == 9 || (*dat)[0] == 10)) c = (*dat)[0];
  }
  if (WorkFileExists(kDatPlanet)) {
    auto read = ReadBodyWeights(c, MissingFileNotice{2.0});
    if (!read) return false;
    for (int i = 0; i <= c; ++i) w[i] = (*read)[i];
  } else {
    PrintOut("\n datplanet.txt not found: the gravity weights are offered \n");
  }
  InputArray("gravity planets", w.data(), kBodyFields);
  if (!WeightsFit(w.data(), kBodies, kBodyFields)) return false;
  files.Put(kDatPlanet, std::span<const double>(w.data(), LineCount(kDatPlanet, c)));
  return true;
}

bool AskPerson(EventRecord& person) {
  const int how = InputChoice("Person:", {"from a person file", "enter the data"});
  if (how == 1) {
    std::string path;
    if (!ChooseFile(path, "filter=*.person,title=Person file")) return false;
    if (!LoadEventRecord(path.c_str(), person)) {
      ModuleEndedEarly("the person file " + path + " cannot be used");
      return false;
    }
  } else if (how == 2) {
    PersonEntry entry = EntryFromRecord(DefaultEventRecord());
    if (!EditPersonEntry(entry)) return false;
    person = RecordFromEntry(entry);
  } else {
    return false;
  }
  PrintOut("%d: %s %s\n", 1, person.familyName, person.firstName);
  return true;
}

struct StartTime {
  int year = 2000, month = 1, day = 1, hour = 12, minute = 1;
};

StartTime AskStart(const char* year, const char* month, const char* day, const char* hour,
                   const char* minute) {
  StartTime t;
  t.year = InputInt(year, -1000, 10000, 2000);
  t.month = InputInt(month, 1, 12, 1);
  t.day = InputInt(day, 1, 31, 1);
  t.hour = InputInt(hour, 1, 23, 12);
  t.minute = InputInt(minute, 1, 59, 1);
  return t;
}

double JdOf(const StartTime& t) { return JulianDate(t.year, t.month, t.day, t.hour, t.minute, 0, 0); }

bool AskPeriod(Period& p) {
  const int choice = InputChoice("Enter the period:", {"Transits for more years", "Transits for one year",
                                                       "Transits for one month", "Transits for one day"});
  p.tlk = choice;
  p.years = 1;
  switch (choice) {
    case 1: {
      const StartTime t = AskStart("start year:", "start month:", "start day:", "start hoar:", "start minute:");
      // The end lies after the start, or the curves would have no step.
      const int end = InputInt("end year:", t.year + 1, 10000, t.year + 2);
      StartTime e = t;
      e.year = end;
      p.startJd = JdOf(t);
      p.endJd = JdOf(e);
      p.years = end - t.year;
      return true;
    }
    case 2: {
      const StartTime t = AskStart("year:", "month:", "day:", "hoar:", "minute:");
      StartTime e = t;
      e.year += 1;
      p.startJd = JdOf(t);
      p.endJd = JdOf(e);
      return true;
    }
    case 3: {
      StartTime t = AskStart("year:", "month:", "day:", "hoar:", "minute:");
      int second = -1;
      InputDateTime("date / time:", t.day, t.month, t.year, t.hour, t.minute, second);
      StartTime e = t;
      if (++e.month > 12) {
        e.month = 1;
        ++e.year;
      }
      p.startJd = JdOf(t);
      p.endJd = JdOf(e);
      return true;
    }
    case 4: {
      StartTime t;
      int hour = -1, minute = -1, second = -1;
      InputDateTime("date / time:", t.day, t.month, t.year, hour, minute, second);
      t.hour = InputInt("hoar :", 0, 23, 12);
      t.minute = InputInt("minute :", 0, 59, 0);
      p.startJd = JdOf(t);
      p.endJd = p.startJd + 1.0;
      return true;
    }
    default:
      if (choice > 0) PrintEndedEarly(" \n  Fehler Transite!: es sind nur 1,2 oder 3 als Eingabe möglich \n");
      return false;
  }
}

void PrintBirth(const EventRecord& person, const ChartRecord& birth) {
  PrintOut(" \n Juliand-Geburt : %f ", birth.jd);
  PrintOut(" \n birth time : %i-%i-%i-%i-%i ", person.year, person.month, person.day, person.hour,
           person.minute);
  PrintOut("\n Birth planets long: ");
  for (int b = 0; b < kBodies; ++b) PrintOut(" %d l=%2.3f ", b, birth.pos[b]);
}

constexpr PerKind<const char*> kKindTitles{"* Harmony *", "* Energy *", "* Dynamic *",
                                           "* abs(Dynamic) *"};

void DrawPage(MatrixKind kind, CurveSet& curves, const Period& p, double step, int order, double k,
              const EventRecord& person) {
  GraphicOutput(KindPage(kind), kPageWidth, kPageHeight, 0xFFFFFF);
  qzgraphic_clear(0xFFFFFF);
  drawResonanceCurves(curves, kStandardCurveColours, p.tlk, kind, p.startJd, step, p.years);
  qzgraphic_fillrect(0, 1293, 2304, 3, kBlack);
  qzgraphic_fillrect(2301, 0, 3, 1293, kBlack);
  qzgraphic_fillrect(0, 0, 3, 1293, kBlack);
  TextAt(10, 25, kBlack, "Transits for %s, %s ", person.familyName, person.firstName);
  TextAt(1000, 25, kBlue, "%s", kKindTitles[kind]);
  const int percent = static_cast<int>(100 * k);
  if (kind == MatrixKind::H)
    TextAt(1500, 25, kBlack, "ORD: %i coupling: %d", order, percent);
  else
    TextAt(1500, 25, kBlack, "ord: %i coupling: %d(%%)", order, percent);
  TextAt(2000, 25, kBlue, "K & M Institut");
  Pause(1.0);
}

}  // namespace

void RunResonanceCurve() {
  // The birth data and the curve tables run to several hundred lines, more
  // than the menu page keeps: they go to text page 1.
  TextOutput(1);
  ClearOutput();
  PrintOut(" \n Resonance curve ");
  ResonanceInput in;
  // The weights as edited, written once the curves are made.
  WorkfileSet files;
  in.order = InputInt(" \n Order of the correlation (1,2,3,...12): ", 1, 12, 3);
  const int mic = InputInt("with IC? then 10:", 9, 10, 9);
  if (!AskWeights(in.weights, mic, files)) return;
  if (mic < 10) in.weights[10] = 0;  // without the IC it takes no part

  EventRecord person = DefaultEventRecord();
  if (!AskPerson(person)) return;
  double coupling = InputDouble("Birth time coupling factor(0,1,2...%):", 0);
  if (!std::isfinite(coupling)) coupling = 0;
  coupling = std::clamp(coupling, 0.0, 10.0);
  in.coupling = coupling * 0.01;
  PrintOut(" \n  coupling factor: %f\n", in.coupling);
  Period period;
  if (!AskPeriod(period)) return;

  ComputeChart(person, in.birth);
  in.place = MomentOf(person);
  PrintBirth(person, in.birth);
  const WaveTables& tables = ShellWaveTables();
  const BirthMatrices birth = BirthMatricesOf(tables, in);

  in.startJd = period.startJd;
  in.stepDays = (period.endJd - period.startJd) * (1.0 / kResonancePoints);
  PrintOut(" \n  JD_start : %f JD_schritt: %f  \n  ", in.startJd, in.stepDays);
  ResonanceCurves curves;
  const PreciseSpan span(period.startJd, period.endJd);
  const int done = ComputeResonanceCurves(tables, in, birth, curves, [](int points) {
    SetProgress(100.0 * points / kResonancePoints);
    KeepAlive();
  });
  if (done < kResonancePoints) {
    StopNote("\n stopped after %d of %d points; no working file changed \n", done, kResonancePoints);
    return;
  }
  if (!files.Commit()) return;
  PrintOut(" \n please wait!! \n");
  // The curves as computed; the pages draw them centred and scaled.
  for (MatrixKind kind : kMatrixKinds) NoteCurves(kind, curves.kind[kind], in.startJd, in.stepDays);
  for (MatrixKind kind : kMatrixKinds)
    DrawPage(kind, curves.kind[kind], period, in.stepDays, in.order, in.coupling, person);
  PlayModuleSound();
}
