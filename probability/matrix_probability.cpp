#include "probability/matrix_probability.h"

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analyses/ephemeris_record.h"
#include "analyses/record_tables.h"
#include "analyses/settings_files.h"
#include "analyses/workfile_set.h"
#include "analyses/workfiles.h"
#include "app/dialogs.h"
#include "app/module_report.h"
#include "app/module_stop.h"
#include "app/output.h"
#include "core/calendar.h"
#include "core/chart.h"
#include "core/precise.h"
#include "data/run_journal.h"
#include "probability/chance_report.h"
#include "probability/control_groups.h"
#include "probability/matrix_probability_cells.h"
#include "probability/matrix_probability_pictures.h"
#include "probability/matrix_probability_report.h"
#include "probability/pvalue_plot.h"
#include "probability/tested_control_groups.h"
#include "qzk/graphic.h"
#include "qzk/random.h"

namespace {

constexpr double kMissingPause = 2.0;
const MissingFileNotice kNotice{kMissingPause};
// The group size's file is named after the event list it counts; two
// settings files have their own spellings.
const MissingFileNotice kEventsNotice{kMissingPause, MissingTail::WithCode, "events.txt"};
const MissingFileNotice kHourShiftNotice{kMissingPause, MissingTail::Plain, kDatTimeShiftHShown};
const MissingFileNotice kSelfKorrNotice{kMissingPause, MissingTail::Plain, kSelfKorrShown};

constexpr int kMaxDrawnEvents = 100000;

// ---- Reading ---------------------------------------------------------------

// The group's matrices and row sums must be whole: a continuum run after
// the event analysis leaves dati.txt, datz.txt and data.txt as its upper
// triangles, which would read as a matrix padded with zeros.
bool WholeGroupFile(const WorkFile& file, std::size_t count) {
  const std::optional<std::size_t> lines = WorkFileLines(file, count);
  if (!lines || *lines >= count) return true;
  char message[200];
  std::snprintf(message, sizeof message,
                "\n ERROR! %s holds %zu of %zu lines: not the group of the event analysis. Run the "
                "event analysis again. \n",
                file.name, *lines, count);
  RefuseReading(message, kNotice);
  return false;
}

bool ReadPerBody(const WorkFile& file, int c, double (&out)[kBodies]) {
  if (!WholeGroupFile(file, LineCount(file, c))) return false;
  auto v = ReadReals(file, LineCount(file, c), kNotice);
  if (!v) return false;
  for (int i = 0; i <= c; ++i) out[i] = (*v)[static_cast<std::size_t>(i)];
  return true;
}

bool ReadMatrix(const WorkFile& file, int c, double (&out)[kBodies][kBodies]) {
  if (!WholeGroupFile(file, LineCount(file, c))) return false;
  auto v = ReadReals(file, LineCount(file, c), kNotice);
  if (!v) return false;
  FillFullMatrix(*v, c, out);
  return true;
}

bool ReadTotals(MatrixProbabilityRun& run) {
  auto totals = ReadReals(kMatrixSumEvent, 4, kNotice);
  if (!totals) return false;
  for (MatrixKind k : kMatrixKinds) run.real.total[k] = (*totals)[static_cast<std::size_t>(KindIndex(k))];
  return true;
}

// The group's settings, row sums and totals, with their echoes.
bool ReadGroupSettings(MatrixProbabilityRun& run) {
  ControlGroupSettings& s = run.settings;
  if (!ReadTotals(run)) return false;
  auto dat = ReadGroupBodies(kNotice);
  if (!dat) return false;
  s.weights.lastBody = dat->lastBody;
  PrintOut("\n MIC1: %i ", s.weights.lastBody);
  const int c = s.weights.lastBody;
  auto order = ReadCorrelationOrder(kNotice);
  if (!order) return false;
  s.order = *order;
  auto self = ReadSelfCorrelation(kSelfKorrNotice);
  if (!self) return false;
  s.weights.selfCorrelation = *self;
  PrintOut(s.weights.selfCorrelation ? "\n Calculation with self-correlation "
                             : "\n Calculation without self-correlation ");
  auto shiftH = ReadHourShift(kHourShiftNotice);
  if (!shiftH) return false;
  run.shiftHours = *shiftH;
  auto shiftD = ReadDayShift(kNotice);
  if (!shiftD) return false;
  run.shiftDays = *shiftD;
  const PerKind<const WorkFile*> rowFiles{&kZsummH, &kZsummI, &kZsummD, &kZsummDA};
  for (MatrixKind k : kMatrixKinds)
    if (!ReadPerBody(*rowFiles[k], c, run.real.row[k])) return false;
  if (!ReadTotals(run)) return false;

  PrintOut("\n matrix-summe-h: %f", run.real.total[MatrixKind::H]);
  PrintOut("\n matrix-summe-i: %f", run.real.total[MatrixKind::I]);
  PrintOut("\n matrix-summe-d: %f", run.real.total[MatrixKind::D]);
  PrintOut("\n matrix-summe-da: %f", run.real.total[MatrixKind::DA]);
  for (int i = 0; i <= c; ++i)
    PrintOut("\n zeile: %i h: %7.2f i: %7.2f d: %7.2f da: %7.2f  ", i, run.real.row[MatrixKind::H][i],
             run.real.row[MatrixKind::I][i], run.real.row[MatrixKind::D][i], run.real.row[MatrixKind::DA][i]);
  PrintOut("\n  Order of the correlation = %i \n ", s.order);
  return true;
}

// ---- The control period -----------------------------------------------------

void AskDate(const char* title, PeriodDate& date) {
  int second = -1;  // not asked
  InputDateTime(title, date.day, date.month, date.year, date.hour, date.minute, second);
}

double JulianDateOf(const PeriodDate& d) {
  return JulianDate(d.year, d.month, d.day, d.hour, d.minute, 0, 0);
}

bool AskPeriod(MatrixProbabilityRun& run, WorkfileSet& files) {
  auto years = ReadPeriodSetting(kNotice);
  if (!years) return false;
  const std::array<int, 6>& y = *years;
  run.start = PeriodDate{y[0], y[2], y[4], 0, 0};
  run.end = PeriodDate{y[1], y[3], y[5], 0, 0};
  AskDate("Enter start-date", run.start);
  AskDate("Enter end-date", run.end);
  PrintOut("\n  START: %i. %i. %i ", run.start.day, run.start.month, run.start.year);
  PrintOut("\n  ENDE: %i. %i. %i ", run.end.day, run.end.month, run.end.year);
  ControlGroupSettings& s = run.settings;
  s.jdStart = JulianDateOf(run.start);
  s.jdEnd = JulianDateOf(run.end);
  PrintOut("\n  JD_start: %f  JD_end: %f Differenz: %f  \n", s.jdStart, s.jdEnd,
           s.jdEnd - s.jdStart);
  const std::array<int, 6> entered{run.start.year, run.end.year, run.start.month,
                                   run.end.month,  run.start.day, run.end.day};
  files.Put(kStartEndYear, std::span<const int>(entered));
  return true;
}

// ---- Group size, number of groups, weights, the real matrices ---------------

bool AskGroups(MatrixProbabilityRun& run) {
  auto n = ReadGroupSize(kEventsNotice);
  if (!n) return false;
  run.settings.eventsPerGroup = *n;
  PrintOut("\n  Events per Group = %i \n ", *n);
  run.groups = InputInt(" \n  NUMBER OF THE GROUPS?: ", 2, 100000, 10000);
  if (static_cast<long long>(run.groups) * *n > kMaxDrawnEvents)
    PrintOut("\n  WARNUNG! Intervallteiler > 100 000 \n ");
  return true;
}

bool ReadWeightsAndMatrices(MatrixProbabilityRun& run) {
  ControlGroupSettings& s = run.settings;
  const int c = s.weights.lastBody;
  auto w = ReadBodyWeights(c, kNotice);
  if (!w) return false;
  WeightTable& weight = s.weights.body;
  for (int i = 0; i < kWeightSlots; ++i) weight[i] = i <= c ? (*w)[static_cast<std::size_t>(i)] : 0;
  for (int i = 0; i <= c; ++i) PrintOut("\n%s weight: %f ", BodyName(i), weight[i]);
  return ReadMatrix(kDatH, c, run.real.cell[MatrixKind::H]) &&
         ReadMatrix(kDatI, c, run.real.cell[MatrixKind::I]) &&
         ReadMatrix(kDatZ, c, run.real.cell[MatrixKind::D]) &&
         ReadMatrix(kDatA, c, run.real.cell[MatrixKind::DA]);
}

// ---- The control groups -----------------------------------------------------

// The control groups' own stream, taken from the toolkit's generator so
// that a fixed seed repeats the run.
qzRandomState ControlStream() {
  const uint64_t high = static_cast<uint64_t>(qzrandom());
  const uint64_t low = static_cast<uint64_t>(qzrandom());
  qzRandomState state;
  qzrandom_state_seed(state, high << 31 | low);
  return state;
}

void DrawControlGroups(MatrixProbabilityRun& run) {
  // The precise ephemeris' charts of the period from one table.
  const PreciseSpan span(run.settings.jdStart, run.settings.jdEnd);
  qzRandomState state = ControlStream();
  TestedControlGroups drawn =
      DrawTestedControlGroups(SharedWaveTables(), run.settings, run.real, run.groups, state,
                              [](double percent) {
                                SetProgress(percent);
                                KeepAlive();
                              });
  if (drawn.stopped) {
    StopNote("\n stopped after %d of %d control groups; no working file changed \n", drawn.drawn, run.groups);
    return;
  }
  PrintOut(" \n ENDE G ");
  run.counts = drawn.counts;
  run.result = drawn.result;
  run.tests = std::move(drawn.tests);
}

// ---- Report, files, pictures ------------------------------------------------

// The group's values as read and the percentages of the control groups
// that reach them, for the record.
void NoteForRecord(const MatrixProbabilityRun& run) {
  if (!JournalOpen()) return;
  const int c = run.settings.weights.lastBody;
  const std::size_t n = static_cast<std::size_t>(c) + 1;
  for (MatrixKind k : kMatrixKinds) {
    NoteMatrix("group", k, run.real.cell[k], c);
    NoteRowSums("group", k, std::span<const double>(run.real.row[k], n));
    NoteTotal("group", k, run.real.total[k]);
  }
  for (MatrixKind k : kMatrixKinds) {
    NoteMatrix("control_percent", k, run.result.cell[k], c);
    NoteRowSums("control_percent", k, std::span<const double>(run.result.row[k], n));
    NoteTotal("control_percent", k, run.result.total[k]);
  }
}

void ShowReport(const MatrixProbabilityRun& run) {
  TextOutput(3);
  ClearOutput();
  PrintOut("%s", ProbabilityReport(run).c_str());
  PrintOut("%s", ChanceReport(run).c_str());
}

void ShowSignificancePictures(const MatrixProbabilityRun& run) {
  GraphicOutput(5, kPictureWidth, kPictureHeight, 0xFFFFFF);
  DrawSignificancePicture(run, MatrixKind::H);
  GraphicOutput(6, kPictureWidth, kPictureHeight, 0xFFFFFF);
  DrawSignificancePicture(run, MatrixKind::I);
}

void ShowLineSumCharts(const MatrixProbabilityRun& run) {
  for (MatrixKind kind : kMatrixKinds) {
    GraphicOutput(KindPage(kind), kPictureWidth, kPictureHeight, 0xFFFFFF);
    DrawLineSumChart(run, kind);
    const std::string picture = std::string("group-") + KindName(kind) + ".bmp";
    if (!qzgraphic_savepicture("%s", picture.c_str()))
      PrintOut("\n %s could not be written \n", picture.c_str());
    Pause(1.0);
  }
}

}  // namespace

void RunMatrixProbability() {
  TextOutput(6);
  PrintOut("\n*** Probability of the Matrix *** \nMatrixProbability\n");
  PrintOut("\n ATTENTION! The program: - Team or Event Analysis- must have calculated first!   \n");

  MatrixProbabilityRun run;
  // The period and the marks, written together once the marks are known.
  WorkfileSet files;
  if (!ReadGroupSettings(run)) return;
  if (!AskPeriod(run, files)) return;
  if (!AskGroups(run)) return;
  if (!ReadWeightsAndMatrices(run)) return;
  if (!ContinuumEphemerisAgrees()) return;
  DrawControlGroups(run);
  if (ModuleStopRequested()) return;

  NoteForRecord(run);
  ShowReport(run);
  TextOutput(6);
  PutSignificanceFiles(run, files);
  if (!files.Commit()) return;
  WriteCellsCsv(run.tests);
  WritePValuePicture(run.tests, run.groups);
  ShowSignificancePictures(run);
  ShowLineSumCharts(run);
  PlayModuleSound();
}
