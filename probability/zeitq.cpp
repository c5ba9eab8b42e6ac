// The time-quality module: asks its settings, computes the curves of the
// four kinds, prints their tables and limit counts and draws them with the
// events of the event analysis.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "analyses/continuum.h"
#include "analyses/workfiles.h"
#include "app/dialogs.h"
#include "app/module_report.h"
#include "app/module_stop.h"
#include "app/output.h"
#include "app/shell.h"
#include "core/calendar.h"
#include "core/precise.h"
#include "data/run_journal.h"
#include "probability/curves.h"
#include "probability/figure_labels.h"
#include "probability/record_curves.h"
#include "probability/zeitq.h"
#include "qzk/graphic.h"

namespace {

constexpr int kPageWidth = 1789;
constexpr int kPageHeight = 1085;
constexpr int kFormat = 180;  // kvformat: a 1440 x 1080 frame
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kBlack = 0x000000;

const std::vector<std::string> kBodyFields{"Sun",    "Moon",   "Mercury", "Venus",
                                           "Mars",   "Jupiter", "Saturn", "Uranus",
                                           "Neptune", "Pluto", "IC"};

// The events of the event analysis: their Julian dates and per kind the
// value of each.
struct EventList {
  std::vector<double> jd;
  PerKind<std::vector<double>> value;
};

struct Settings {
  int tlk = 1;
  int points = 1000;
  bool withEvents = false;
  bool markEvents = false;
  int order = 1;
  int mic1 = 10;
  WeightTable weights{};
  PerKind<double> limit = {-1, 1, -10, 10};
  double startJd = 0, endJd = 0;
  int years = 1;
  EventList events;
};

const MissingFileNotice kNotice{2.0};

bool AskPointsAndEvents(Settings& s) {
  s.points = InputInt("\n Interval divider:  ", 700, 200000, 1000);
  if (s.points > 2000) {
    PrintOut(" \n \n  Attention WARNING ! \n The interval divider is greater than 1000.\n"
             " The curves become very confusing.\n Only suitable for calculating expected values.  ");
    PlayModuleSound();
    Pause(3);
  }
  const int run = InputYesNo("Program event analysis run?", 1);
  if (run < 0) return false;
  s.withEvents = run == 1;
  if (s.withEvents) {
    const int mark = InputYesNo("mark events?", 1);
    if (mark < 0) return false;
    s.markEvents = mark == 1;
  }
  return true;
}

// The order, the weights and the events that the event analysis left.
bool ReadEventAnalysis(Settings& s) {
  auto dat = ReadIntegers(kDatDat, 2, kNotice);
  if (!dat) return false;
  s.mic1 = (*dat)[0];
  const int members = (*dat)[1];
  if (s.mic1 != 9 && s.mic1 != 10) {
    PrintEndedEarly("\n datdat.txt: the last body must be 9 or 10, not %d \n", s.mic1);
    return false;
  }
  if (members < 0) {
    PrintEndedEarly("\n datdat.txt: %d events cannot be read \n", members);
    return false;
  }
  auto ord = ReadIntegers(kDatOrd, 1, kNotice);
  if (!ord) return false;
  s.order = (*ord)[0];
  if (s.order < 1 || s.order > 12) {
    PrintEndedEarly("\n datord.txt: the order must be 1..12, not %d \n", s.order);
    return false;
  }
  auto w = ReadReals(kDatPlanet, LineCount(kDatPlanet, s.mic1), kNotice);
  if (!w) return false;
  s.weights.fill(0.0);
  for (int i = 0; i <= s.mic1; ++i) s.weights[i] = (*w)[i];
  if (s.mic1 < 10) s.weights[10] = 0;

  // The events the event analysis used (it leaves out members whose date
  // is no date) are as many as it wrote; the group's size is the fallback.
  size_t n = static_cast<size_t>(members);
  if (WorkFileExists(kEventsDat)) {
    auto used = ReadIntegers(kEventsDat, 1, kNotice);
    if (!used) return false;
    if ((*used)[0] >= 0) n = static_cast<size_t>((*used)[0]);
  }
  auto jd = ReadReals(kJulianDat, n, kNotice);
  if (!jd) return false;
  s.events.jd = *jd;
  const PerKind<const WorkFile*> files = {&kEventsH, &kEventsI, &kEventsD, &kEventsDA};
  for (MatrixKind kind : kMatrixKinds) {
    auto v = ReadReals(*files[kind], n, kNotice);
    if (!v) return false;
    s.events.value[kind] = *v;
  }

  PrintOut(" \n\n  ORD %d  MIC1 %d\n", s.order, s.mic1);
  PrintOut(" \n\n  Planeten: ");
  for (int i = 0; i <= s.mic1; ++i) PrintOut(" %2.2f", s.weights[i]);
  PrintOut(" \n\n expected values - LIMIT ?  \n Limit values for Triggering.\n"
           " Negative limits for H and D test for less than, positive ones for greater than;\n"
           " the limits for I and DA always test for greater than.\n");
  return true;
}

double AskLimit(const char* question, double low, double high, double start) {
  const double v = InputDouble(question, start);
  if (!std::isfinite(v)) {
    PrintOut("\n %s is no number: %g is used \n", question, start);
    return start;
  }
  const double held = std::clamp(v, low, high);
  if (held != v) PrintOut("\n %s%g is outside %g..%g: %g is used \n", question, v, low, high, held);
  return held;
}

void AskLimits(Settings& s) {
  const int want = InputYesNo("Limits?", 1);
  if (want != 1) return;
  const bool e = s.withEvents;
  s.limit[MatrixKind::H] = AskLimit(" limit H :     ", e ? -1000 : -100, e ? 1000 : 100, 0);
  s.limit[MatrixKind::I] = AskLimit(" limit I :     ", e ? 1 : 0, 1000, e ? 100 : 1);
  s.limit[MatrixKind::D] = AskLimit(" limit D :     ", -1000, 1000, 0);
  s.limit[MatrixKind::DA] = AskLimit(" limit DA :     ", e ? 1 : 0, 10000, 1000);
}

bool AskPeriod(Settings& s) {
  s.years = 1;
  switch (s.tlk) {
    case 0: {
      const int year = InputInt("  START year:  ", 1, 3000, 2000);
      s.years = InputInt("Number of years:   ", 1, 3000, 2);
      s.startJd = JulianDay0h(year, 1, 1);
      s.endJd = JulianDay0h(year + s.years, 1, 1);
      return true;
    }
    case 1: {
      const int year = InputInt("start year: ", 1, 3000, 2000);
      s.startJd = JulianDay0h(year, 1, 1);
      s.endJd = JulianDay0h(year + 1, 1, 1);
      return true;
    }
    case 2: {
      const int year = InputInt("  year:             ", 1, 3000, 2000);
      const int month = InputInt(" month:             ", 1, 12, 6);
      s.startJd = JulianDay0h(year, month, 1);
      s.endJd = month == 12 ? JulianDay0h(year + 1, 1, 1) : JulianDay0h(year, month + 1, 1);
      return true;
    }
    case 3: {
      const int year = InputInt("  year: ", 1, 3000, 2000);
      const int month = InputInt(" month: ", 1, 12, 6);
      const int day = InputInt("   day: ", 1, 31, 15);
      s.startJd = JulianDay0h(year, month, day);
      s.endJd = s.startJd + 1;
      return true;
    }
    default:
      PrintEndedEarly(" \n  ERROR: only 0,1,2 or 3 for input \n");
      return false;
  }
}

void AskPlanets(Settings& s) {
  s.weights.fill(1.0);
  const int choice = InputYesNo("choice planets?", 0);
  const int ic = InputYesNo("with IC? ", 0);
  s.weights[10] = ic == 1 ? 1.0 : 0.0;
  if (choice != 1) return;
  PrintOut("\n \tselection of the planets \n  ");
  InputArray("Weighting planets", s.weights.data(), kBodyFields);
  if (InputYesNo("standart-weight for planets?", 0) == 1) {
    for (int i = 0; i < 11; ++i) {
      s.weights[i] *= kGravityWeights[i];
      PrintOut("\n planet-weight: %2.2f", s.weights[i]);
    }
  }
}

bool AskSettings(Settings& s) {
  const int choice = InputChoice("Choose :", {"more years", "one year", "one month", "one day"});
  if (choice < 1) return false;
  s.tlk = choice - 1;
  if (!AskPointsAndEvents(s)) return false;
  if (s.withEvents) {
    if (!ReadEventAnalysis(s)) return false;
  } else {
    s.order = InputInt("\n Order of the correlation:  ", 1, 12, 1);
    PrintOut(" \n\n expected values - LIMIT ?  \n Limit values for Triggering.\n");
  }
  AskLimits(s);
  if (!AskPeriod(s)) return false;
  if (!s.withEvents) AskPlanets(s);
  return true;
}

// The heading of a kind's curve table and its caption on the page.
struct KindTexts {
  const char* heading;
  const char* caption;
};
constexpr PerKind<KindTexts> kKindTexts{{
    {"\n *Harmony* \n", " Harmony "},
    {"\n *Energy* \n", " Energy "},
    {"\n *Dynamic* \n", " Dynamic "},
    {"\n *Dynamic abs* \n", " abs(Dynamic) "},
}};

void PrintCurveTable(MatrixKind kind, const CurveSet& curves, const FluctuationSky& sky) {
  PrintOut("\n Curve values of the planetary curves in the calculated period");
  PrintOut("%s", kKindTexts[kind].heading);
  if (curves.points > 1000) {
    PrintOut("\n Curve values for intervals <= 1000 only !!!");
    return;
  }
  PrintOut("\n  i/Planet    So      Mo      Me      Ve      Ma       Ju      Sa      Ur     Ne      "
           "Pl      IC       SUMME  \n");
  for (int m = 0; m < curves.points; ++m) {
    PrintOut(m < 10 ? "\n %i   " : m < 100 ? "\n %i  " : "\n %i ", m);
    for (int c = 1; c <= 11; ++c) PrintOut(" %7.2f", curves[c][m]);
    PrintOut("     %8.2f", curves[kSumCurve][m]);
    const CalendarDate& d = sky.dates[m];
    PrintOut(" date y-m-d-h-m ");
    PrintOut("%d-%d-%d-%d-%d", d.year, d.month, d.day, d.hour, d.minute);
  }
}

void PrintLimitCount(MatrixKind kind, const CurveSet& curves, double limit, const CalendarDate& start,
                     double step) {
  const int over = CountPointsOverLimit(curves, limit);
  PrintOut("\n\n** limit cont %s:  %3.2f events: %d *  %d events over limit  %3.2f percent **\n\n",
           KindName(kind), limit, curves.points, over,
           curves.points > 0 ? 100.0 * over / curves.points : 0.0);
  PrintOut(" Start-date (i=0): Jahr:%6.2f  Monat:%6.2f Tag:%6.2f  Stunde:%6.2f  Minute:%6.2f",
           double(start.year), double(start.month), double(start.day), double(start.hour),
           double(start.minute));
  PrintOut(" Step size in days: %9.3f", step);
}

// The event lines' dates: a number at the top of each line, in the strip
// above the curves, and the numbered dates right of the frame, below the
// captions, as far as they have room.
void LabelEventLines(const std::vector<std::pair<int, CalendarDate>>& lines) {
  if (lines.empty()) return;
  constexpr int kListX = 1448, kListTop = 236, kStep = 20, kPageBottom = 1085;
  LabelAt(kListX, kListTop, kBlack, "event lines:");
  const int room = (kPageBottom - kListTop - kStep) / kStep - 1;
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string number = std::to_string(n + 1);
    LabelAt(kCurveLeft + lines[n].first + 3, 3, kBlack, number);
    const int row = static_cast<int>(n);
    if (row < room || (row == room && lines.size() == n + 1)) {
      const CalendarDate& d = lines[n].second;
      char date[80];
      std::snprintf(date, sizeof date, "%s  %d.%d.%d  %02d:%02d UT", number.c_str(), d.day, d.month, d.year,
                    d.hour, d.minute);
      LabelAt(kListX, kListTop + kStep * (row + 1), kBlack, date);
    } else if (row == room) {
      LabelAt(kListX, kListTop + kStep * (row + 1), kBlack,
              "... " + std::to_string(lines.size() - n) + " more (text page)");
    }
  }
}

void MarkEvents(const Settings& s, MatrixKind kind) {
  const CalendarDate a = CalendarFromJulian(s.startJd);
  const CalendarDate b = CalendarFromJulian(s.endJd);
  PrintOut("\n START:  y %4.2f m %4.2f d %4.2f h %4.2f", double(a.year), double(a.month),
           double(a.day), double(a.hour));
  PrintOut("\n   END:  y %4.2f m %4.2f d %4.2f h %4.2f \n", double(b.year), double(b.month),
           double(b.day), double(b.hour));
  PrintOut("\n ixag %i ixeg %i dix %i\n \n ", kCurveLeft, kCurveRight, kCurveWidth);
  if (!s.withEvents) return;
  int inRange = 0, over = 0;
  const std::vector<double>& values = s.events.value[kind];
  std::vector<std::pair<int, CalendarDate>> lines;
  for (size_t k = 0; k < s.events.jd.size(); ++k) {
    const int x = EventPixel(s.events.jd[k], s.startJd, s.endJd);
    if (!EventPixelInRange(x)) continue;
    ++inRange;
    const CalendarDate d = CalendarFromJulian(s.events.jd[k]);
    PrintOut("\n year %4.2f month %4.2f day %4.2f hour %4.2f minute %4.2f", double(d.year),
             double(d.month), double(d.day), double(d.hour), double(d.minute));
    if (s.markEvents) {
      qzgraphic_fillrect(kCurveLeft + x, 20, 1, 1040, 0x000000);
      lines.emplace_back(x, d);
    }
    const double v = values[k];
    PrintOut("\n i=%i  event %s    %2.3f", static_cast<int>(k), KindName(kind), v);
    if (EventOverLimit(kind, v, s.limit[kind])) ++over;
    JournalNoteEventMark({s.events.jd[k], KindName(kind), v, EventOverLimit(kind, v, s.limit[kind])});
  }
  PrintOut("\n\n** limit %s:  %3.2f events: %d *  %d events over limit  %3.2f percent **\n\n",
           KindName(kind), s.limit[kind], inRange, over,
           inRange > 0 ? 100.0 * over / inRange : 0.0);
  LabelEventLines(lines);
}

void SavePage(MatrixKind kind) {
  if (!qzgraphic_savepicture("Zeitq.bmp")) PrintOut("\n Zeitq.bmp could not be written \n");
  mkdir("AI-aktuell", 0777);
  const std::string name = std::string("AI-aktuell/zq-") + KindName(kind) + ".bmp";
  if (!qzgraphic_savepicture("%s", name.c_str())) PrintOut("\n %s could not be written \n", name.c_str());
}

void ReportKind(const Settings& s, MatrixKind kind, const CurveSet& curves, const FluctuationSky& sky,
                double step) {
  PrintOut(" \n Plaese wait: Program draws curves!! \n");
  TextOutput(KindPage(kind));
  PrintCurveTable(kind, curves, sky);
  NoteCurves(kind, curves, sky.startJd, sky.stepDays);
  PrintLimitCount(kind, curves, s.limit[kind], CalendarFromJulian(s.startJd), step);

  GraphicOutput(KindPage(kind), kPageWidth, kPageHeight, 0xFFFFFF);
  const FluctuationVariant variant =
      s.weights[10] != 0 ? FluctuationVariant::B : FluctuationVariant::A;
  drawFluctuationCurves(variant, s.order, curves, kStandardCurveColours, 1, kFormat, s.tlk,
                        s.startJd, step, s.points, s.years);
  MarkEvents(s, kind);
  TextAt(1440, 180, kBlue, "%s", kKindTexts[kind].caption);
  SetProgress(25.0 * KindPage(kind));
  Pause(0.1);
  SavePage(kind);
}

}  // namespace

void RunPlanetaryFluctuations() {
  Settings s;
  if (!AskSettings(s)) return;
  const double step = (s.endJd - s.startJd) / s.points;
  PrintOut(" \n PLEASE WAIT: Program calculates! \n");
  PrintOut(" \n\n  JD Increment: %f  \n\n  ", step);

  // The points done, as the workers' progress tells; a stop of the module
  // ends the computation at the next block.
  int done = 0;
  const auto keepAlive = [&done](int points) {
    done = points;
    KeepAlive();
  };
  const PreciseSpan span(s.startJd, s.endJd);
  const FluctuationSky sky = ComputeFluctuationSky(s.startJd, step, s.points, keepAlive);
  if (ModuleStopRequested()) {
    StopNote("\n stopped after %d of %d moments; no working file changed \n", done, s.points);
    return;
  }
  const WaveTables& tables = ShellWaveTables();
  for (MatrixKind kind : kMatrixKinds) {
    done = 0;
    const CurveSet curves = ComputeFluctuationCurves(tables, kind, s.order, s.weights, sky, keepAlive);
    if (ModuleStopRequested()) {
      StopNote("\n stopped at moment %d of %d of the %s curves; no working file changed \n", done, s.points,
               KindName(kind));
      return;
    }
    ReportKind(s, kind, curves, sky, step);
  }
  PlayModuleSound();
}
