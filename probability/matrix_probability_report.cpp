#include "probability/matrix_probability_report.h"

#include <algorithm>
#include <array>
#include <cstdarg>

#include "qzk/vformat.h"

namespace {

// The texts of one kind's section.
struct SectionTexts {
  const char* title;
  const char* inputCaption;
  const char* errorCaption;
};

constexpr PerKind<SectionTexts> kSections{{
    {" \n\n   Statistics 4: Probability of events: correlation matrix H \n",
     "  CORRELATION-MATRIX H AS INPUT  ", "  Matrix H of the probability of error:   "},
    {" \n\n   Statistics 4: Probability of events: energy I\n",
     "  MATRIX I energy  AS INPUT (absolut) ", "  Matrix I of the probability of error:   "},
    {" \n\n    Statistics 4: Probability of events: dynamics \n", "MATRIX D dynamics AS INPUT",
     "  Matrix D of the probability of error:   "},
    {" \n\n   Statistics 4: Probability of events: dynamics abs ",
     "MATRIX DA dynamics abs AS INPUT (absolut)", "  Matrix DA of the probability of error:   "},
}};

constexpr std::array<const char*, kBodies> kLegend{
    " 1=SUN; ",    " 2=MOON; ",   " 3=MERKUR; ", " 4=VENUS; ", " 5=MARS; ", " 6=JUPITER; ",
    " 7=SATURN; ", " 8=URANUS; ", " 9=NEPTUN; ", "10=PLUTO; ", "11=IC; "};

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out += qzvformat(format, args);
  va_end(args);
}

int LastBody(const ControlGroupSettings& s) { return std::clamp(s.weights.lastBody, 0, kBodies - 1); }

void AppendColumnHeader(std::string& out, int c) {
  out += "\n";
  for (int j = 0; j <= c; ++j) Append(out, " %2.0i     ", j + 1);
}

// One matrix in the report's layout: values[i][j] read at (min, max) of
// the two indices; with `rowPercent`, each row of a weighted body closed
// by its row percentage.
void AppendMatrix(std::string& out, const ControlGroupSettings& s,
                  const double (&values)[kBodies][kBodies], const double* rowPercent) {
  const int c = LastBody(s);
  AppendColumnHeader(out, c);
  for (int i = 0; i <= c; ++i) {
    Append(out, "\n %2.0i", i + 1);
    out += "   ";
    for (int j = 0; j <= c; ++j) {
      if (BlankCell(s, i, j))
        out += "    *   ";
      else
        Append(out, " %7.2f", values[std::min(i, j)][std::max(i, j)]);
    }
    if (rowPercent && s.weights.body[i] != 0) Append(out, " PR%7.2f", rowPercent[i]);
  }
}

}  // namespace

bool BlankCell(const ControlGroupSettings& settings, int i, int j) {
  return PairWeight(settings.weights, i, j) == 0;
}

std::string ProbabilityReportSection(const MatrixProbabilityRun& run, MatrixKind kind) {
  const ControlGroupSettings& s = run.settings;
  const SectionTexts& t = kSections[kind];
  std::string out = t.title;
  if (kind == MatrixKind::H)
    Append(out, "\n Order of the correlation: %i ; time shift d: %i h: %i; ", s.order,
           run.shiftDays, run.shiftHours);
  else
    Append(out, " Order of the correlation: %i ;", s.order);
  Append(out, "\n GROUP-MEMBERS: %i ; NUMBER OF THE GROUPS: %i ", s.eventsPerGroup, run.groups);
  if (kind == MatrixKind::H)
    Append(out, "\n Julian-date-start: %f Julian-date-end: %f", s.jdStart, s.jdEnd);
  out += " \n Accidental selection";
  out += ";  TEST: Number of accidental selection >= correlation ";

  out += "\n";
  out += t.inputCaption;
  AppendMatrix(out, s, run.real.cell[kind], nullptr);
  out += "\n";
  out += t.errorCaption;
  AppendMatrix(out, s, run.result.cell[kind], run.result.row[kind]);
  Append(out, "\n  bigger are: %7.2f %%", run.result.total[kind]);

  out += "\n";
  for (const char* name : kLegend) out += name;
  Append(out, "\n BEGIN: year: %i month: %i day: %i hour: %i ", run.start.year, run.start.month,
         run.start.day, run.start.hour);
  Append(out, "\n END: year: %i month: %i day: %i hour: %i ", run.end.year, run.end.month,
         run.end.day, run.end.hour);
  return out;
}

std::string ProbabilityReport(const MatrixProbabilityRun& run) {
  std::string out;
  for (MatrixKind kind : kMatrixKinds) out += ProbabilityReportSection(run, kind);
  out += "\n";
  return out;
}

const WorkFile& SignificanceFile(MatrixKind kind) {
  static constexpr PerKind<const WorkFile*> kFiles{&kSignificanceH, &kSignificanceI,
                                                   &kSignificanceD, &kSignificanceDA};
  return *kFiles[kind];
}

std::vector<int> SignificanceValues(const ProbabilityResult& result, MatrixKind kind, int c) {
  c = std::clamp(c, 0, kBodies - 1);
  std::vector<int> values;
  for (int i = 0; i <= c; ++i)
    for (int j = 0; j <= c + 1; ++j) values.push_back(result.marks[kind][i][j]);
  return values;
}

void PutSignificanceFiles(const MatrixProbabilityRun& run, WorkfileSet& files) {
  for (MatrixKind kind : kMatrixKinds)
    files.Put(SignificanceFile(kind), SignificanceValues(run.result, kind, run.settings.weights.lastBody));
}
