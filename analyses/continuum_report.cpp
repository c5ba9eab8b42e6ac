// The continuum's printed tables, its result files and the legend.
#include <array>
#include <vector>

#include "analyses/continuum.h"
#include "analyses/matrix_table.h"
#include "analyses/record_tables.h"
#include "analyses/workfile_set.h"
#include "analyses/workfiles.h"
#include "app/output.h"
#include "core/chart.h"

namespace {

constexpr ColumnHead kPrincipleHead{
    "\nPrinciple    I         II        III        IV        V         VI        VII       VIII"
    "      IX         X        IC        SUMME  \n",
    "\nPrinciple    I         II       III        IV        V         VI        VII       VIII"
    "      IX         X         SUMME  \n"};

// The four tables: cells "%6.2f" after a gap of three.
constexpr MatrixTableStyle kTableH{nullptr, &kPrincipleHead, "   ", "    %6.2f", "     %7.2f",
                                   " Sum of the Matrix H: %9.2f \n"};
constexpr MatrixTableStyle kTableI{
    "\n Matrix ISquare-root of the energy, standardize on number per interval", &kPrinzipHead,
    "   ", "    %6.2f", "      %7.2f", " Sum of the Matrix I: %9.2f \n"};
constexpr MatrixTableStyle kTableD{
    "\nMatrix D First derivation, standardize on number of the group-members", &kPrinzipHead,
    "   ", "    %6.2f", "     %7.2f", " Sum of the matrix D: %9.2f \n"};
constexpr MatrixTableStyle kTableDA{
    "\n Matrix DA First derivation(absolute), standardize on number per interval  ",
    &kPrinzipHead, "   ", "    %6.2f", "     %7.2f", " Sum of the Matrix DA: %9.2f "};

// A continuum matrix divided by the number of moments, its row sums and total.
struct MeanMatrix {
  ContinuumMatrix cell{};
  std::vector<double> rowSums;
  double total = 0;
};

MeanMatrix Mean(const ContinuumMatrix& sum, int c, int G) {
  MeanMatrix m;
  for (int l = 0; l <= c; ++l) {
    double row = 0;
    for (int g = 0; g <= c; ++g) {
      m.cell[l][g] = sum[l][g] / G;
      row += m.cell[l][g];
    }
    m.rowSums.push_back(row);
    m.total += row;
  }
  return m;
}

// The cells times a factor (D and DA are written at a tenth).
MeanMatrix Scaled(const MeanMatrix& m, int c, double factor) {
  MeanMatrix s = m;
  for (int l = 0; l <= c; ++l)
    for (int g = 0; g <= c; ++g) s.cell[l][g] = m.cell[l][g] * factor;
  return s;
}

// The mean matrix as the record's table "continuum".
void NoteMean(MatrixKind kind, const MeanMatrix& m, int c) {
  NoteMatrix("continuum", kind, m.cell, c);
  NoteRowSums("continuum", kind, m.rowSums);
  NoteTotal("continuum", kind, m.total);
}

void PrintTable(const MatrixTableStyle& t, const MeanMatrix& m, int c) {
  PrintMatrixTable(t, m.cell, m.rowSums.data(), m.total, c);
}

void PrintHead(const ContinuumParams& p) {
  PrintOut("\n ");
  PrintOut("\n Matrix H: Coherent continuum;");
  PrintOut(" Number per interval: %d ", p.moments);
  PrintOut("\n Members the group: %d (relevant);", p.members);
  PrintOut(" Order the correlation: %i  \n", p.order);
  PrintOut(" BEGIN: year: %i month: %i day: %i hour: %i minute %i", p.start.year, p.start.month,
           p.start.day, p.start.hour, p.start.minute);
  PrintOut("   END: year: %i month: %i day: %i hour: %i minute %i", p.end.year, p.end.month,
           p.end.day, p.end.hour, p.end.minute);
  PrintOut("\n common harmonies, standardize on number of the group-members %i", p.members);
}

void PrintMoments(const ContinuumResult& r) {
  for (const ContinuumMoment& m : r.shown) {
    PrintOut("\n\n a %d m %d d %d h %d min %d", m.date.year, m.date.month, m.date.day,
             m.date.hour, m.date.minute);
    PrintOut(" continuum H= %f", m.H);
    PrintOut(" continuum I= %f", m.I);
  }
}

void WriteCompareGroup(const ContinuumParams& p, const ContinuumResult& r, WorkfileSet& files) {
  if (p.moments > kKeptMoments) return;
  files.Put(kCompareJulianDates, r.kept);
  const std::array<int, 1> g = {p.moments};
  files.Put(kCompareGroupSize, g);
  PrintOut("\n ***Compare group: %i  in Optimierung-Compare ***", p.moments);
  Pause(3.0);
}

void PrintLegend(const ContinuumParams& p) {
  PrintOut(" Standardize on number per interval ");
  PrintOut("\n");
  for (const char* s : {" 1 = SUN; ", " 2 = MOON; ", " 3 = MERKUR; ", " 4 = VENUS; ", " 5 = MARS; "})
    PrintOut("%s", s);
  PrintOut("\n");
  for (const char* s : {" 6 = JUPITER; ", " 7 = SATURN; ", " 8 = URANUS; ", " 9 = NEPTUN; ",
                        "10 = PLUTO; ", "11 = EARTH-IC; "})
    PrintOut("%s", s);
  PrintOut("\n");
  // Every body is listed; one that takes no part (the IC without IC) with
  // the weight 0 it has in the sums.
  for (int b = 0; b <= 10; ++b) {
    const double w = b <= p.weights.lastBody ? p.weights.body[static_cast<std::size_t>(b)] : 0.0;
    PrintOut("%s", BodyName(b));
    PrintOut(" weight: %3.2f  \n", w);
  }
}

}  // namespace

void ReportContinuum(const ContinuumParams& p, const ContinuumResult& r, WorkfileSet& files) {
  const int c = p.weights.lastBody, G = p.moments;
  PrintMoments(r);
  WriteCompareGroup(p, r, files);

  const MeanMatrix H = Mean(r.SH, c, G), I = Mean(r.SI, c, G);
  const MeanMatrix D = Mean(r.SD, c, G), DA = Mean(r.SDA, c, G);

  PrintHead(p);
  PrintTable(kTableH, H, c);
  files.Put(kZshContinuum, H.rowSums);
  files.Put(kDathContinuum, UpperTriangleValues(H.cell, c));

  PrintTable(kTableI, I, c);
  files.Put(kZsiContinuum, I.rowSums);
  files.Put(kContinuumDatI, UpperTriangleValues(I.cell, c));

  PrintTable(kTableD, D, c);
  files.Put(kZsdContinuum, D.rowSums);
  files.Put(kContinuumDatZ, UpperTriangleValues(Scaled(D, c, 0.1).cell, c));

  PrintTable(kTableDA, DA, c);
  const std::array<double, 4> sums = {H.total, I.total, D.total, DA.total};
  files.Put(kMatrixSumContinuum, sums);
  files.Put(kZsdaContinuum, DA.rowSums);
  files.Put(kContinuumDatA, UpperTriangleValues(Scaled(DA, c, 0.1).cell, c));
  files.Put(kMsContinuum, sums);

  PrintLegend(p);
  NoteMean(MatrixKind::H, H, c);
  NoteMean(MatrixKind::I, I, c);
  NoteMean(MatrixKind::D, D, c);
  NoteMean(MatrixKind::DA, DA, c);
}
