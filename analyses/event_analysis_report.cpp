// The event analysis' printed lines and tables (text pages 6 and 2) and
// the group's working files.
#include <array>
#include <string>
#include <vector>

#include "analyses/event_analysis.h"
#include "analyses/matrix_table.h"
#include "analyses/workfile_set.h"
#include "analyses/workfiles.h"
#include "app/output.h"

namespace {

constexpr ColumnHead kPrincipleHead{
    "\nPrinciple    I          II        III         IV         V          VI         VII        VIII"
    "       IX          X         IC          SUMME  \n",
    "\nPrinciple    I          II        III         IV         V          VI         VII        VIII"
    "       IX          X          SUMME  \n"};

// One of the four group tables on text page 2: cells "%7.2f" right after
// the row number.
struct GroupTable {
  MatrixKind kind;
  MatrixTableStyle style;  // without a title, the H table's head is printed before it
};
constexpr std::array<GroupTable, kMatrixKindCount> kGroupTables{{
    {MatrixKind::H,
     {nullptr, &kPrincipleHead, "", "    %7.2f", "     %8.2f", " Harmony of command wave: %9.2f \n"}},
    {MatrixKind::I,
     {"\n Matrix of common energy (standardize of number of elements ) ", &kPrinzipHead, "",
      "    %7.2f", "     %8.2f", " energy of command wave: %9.2f \n"}},
    {MatrixKind::D,
     {"\n Matrix of common of time dynamics ", &kPrinzipHead, "", "    %7.2f", "     %8.2f",
      " Time dynamics of command wave : %9.2f \n"}},
    {MatrixKind::DA,
     {"\n Matrix of common of time dynamics (absolute)", &kPrinzipHead, "", "    %7.2f",
      "     %8.2f", " Time dynamics of command wave (absolute): %9.2f \n"}},
}};

// The files written after each table.
struct TableFiles {
  const WorkFile* rowSums;
  std::vector<const WorkFile*> matrices;
};
const PerKind<TableFiles> kTableFiles{{
    {&kZsummH, {&kDatH}},
    {&kZsummI, {&kDatI}},
    {&kZsummD, {&kDatZ, &kDatD}},
    {&kZsummDA, {&kDatA, &kDatDA}},
}};

void PrintGroupTable(const GroupTable& t, const EventGroupResult& group, int c) {
  PrintMatrixTable(t.style, group.matrix[t.kind], group.rowSum[t.kind], group.total[t.kind], c);
}

void WriteTableFiles(MatrixKind kind, const EventGroupResult& group, int c, WorkfileSet& out) {
  const TableFiles& files = kTableFiles[kind];
  out.Put(*files.rowSums, std::span<const double>(group.rowSum[kind], c + 1));
  const std::vector<double> cells = FullMatrixValues(group.matrix[kind], c);
  for (const WorkFile* f : files.matrices) out.Put(*f, cells);
}

template <class Value, class Field>
std::vector<Value> PerMember(const EventGroupResult& group, Field field) {
  std::vector<Value> values;
  values.reserve(group.members.size());
  for (const EventMember& m : group.members) values.push_back(field(m));
  return values;
}

// The moments of the members and, for small groups, their lines.
void ReportMoments(const EventGroupResult& group, WorkfileSet& files) {
  const int n = static_cast<int>(group.members.size());
  for (int i = 0; i < n; ++i) {
    const EventMember& m = group.members[i];
    const EventRecord& r = m.record;
    if (n <= 2) {
      PrintOut("\n\n gruppe i: %i Julian-date: %f %f", i + 1, m.julianDate, m.chartJulianDate);
      PrintOut("\n gruppe i: %i a %i m %i d %i h %i min %i zeitzone %i sommerzeit %i", i + 1, r.year, r.month, r.day,
               r.hour, r.minute, r.timeZone, r.summerTime);
    }
    PrintOut("group !!!H= %f", m.SH);
    PrintOut("\n H: %f ", m.SH);
    PrintOut("\n I: %9.2f ", m.SI);
  }
  if (n == 1) {
    const EventRecord& r = group.members[0].record;
    const std::array<int, 5> birth = {r.year, r.month, r.day, r.hour, r.minute};
    files.Put(kTimeGeburt, birth);
  }
  PrintOut("\nGruppenstaerke: %i", n);
  files.Put(kJulianDat, PerMember<double>(group, [](const EventMember& m) { return m.julianDate; }));
  files.Put(kJulianSummerZ, PerMember<int>(group, [](const EventMember& m) { return m.record.summerTime; }));
  files.Put(kJulianZeitZone, PerMember<int>(group, [](const EventMember& m) { return m.record.timeZone; }));
}

// Text page 6, below the questions' echoes: the members' moments and sums.
void ReportMembers(const EventAnalysisParams& p, const EventGroupResult& group, WorkfileSet& files) {
  TextOutput(6);
  const int n = static_cast<int>(group.members.size());
  PrintOut("\n Number of the elements : %d ", n);
  PrintOut("\n Degree of correlation %i ; time shift h %i ", p.settings.order, p.settings.hourShift);
  PrintOut("\n Matrix of common harmony ");
  PrintOut(" \n k: Jahr: Monat: Tag: Stunde: Minute:   H:      I:      D:     DA:  ");
  for (int i = 0; i < n; ++i) {
    const EventMember& m = group.members[i];
    const EventRecord& r = m.record;
    PrintOut(" \n %3.0i y%4.0i   m%2.0i   d%3.1i    h%3.1d    m%3.1d  \n SH%7.2f SI%7.2f SD%7.2f SDA%7.2f \njd: %f",
             i + 1, r.year, r.month, r.day, r.hour, r.minute, m.SH, m.SI, m.SD, m.SDA, m.julianDate);
  }
  PrintOut("\n SHsumme: %f SIsumme: %f SDsumme: %f SDAsumme: %f  ", group.memberTotal[MatrixKind::H],
           group.memberTotal[MatrixKind::I], group.memberTotal[MatrixKind::D], group.memberTotal[MatrixKind::DA]);
  files.Put(kEventsH, PerMember<double>(group, [](const EventMember& m) { return m.SH; }));
  files.Put(kEventsI, PerMember<double>(group, [](const EventMember& m) { return m.SI; }));
  files.Put(kEventsD, PerMember<double>(group, [](const EventMember& m) { return m.SD; }));
  files.Put(kEventsDA, PerMember<double>(group, [](const EventMember& m) { return m.SDA; }));
}

// Text page 2: the four group matrices.
void ReportMatrices(const EventAnalysisParams& p, const EventGroupResult& group, WorkfileSet& files) {
  TextOutput(2);
  ClearOutput();
  const int c = p.settings.weights.lastBody;
  PrintOut("\n Outlay matrix H coherent analysis ");
  PrintOut("\n Number of the elements : %d ", static_cast<int>(group.members.size()));
  PrintOut("\n Order of the correlation: %i ; time shift d: %i h: %i; ", p.settings.order, p.settings.dayShift,
           p.settings.hourShift);
  PrintOut("\n Matrix of common harmony ");
  for (const GroupTable& t : kGroupTables) {
    PrintGroupTable(t, group, c);
    WriteTableFiles(t.kind, group, c, files);
    if (t.kind == MatrixKind::H && !group.members.empty()) {
      const EventRecord& last = group.members.back().record;
      files.PutLines(kName, {std::string(last.firstName) + " " + last.familyName});
    }
  }
  PrintOut(" \n\n Summen:  h %f  i %f d %f da %f \n", group.total[MatrixKind::H], group.total[MatrixKind::I],
           group.total[MatrixKind::D], group.total[MatrixKind::DA]);
  files.Put(kMatrixSumEvent, std::span<const double>(group.total.of));
}

}  // namespace

void ReportEventAnalysis(const EventAnalysisParams& p, const EventGroupResult& group, WorkfileSet& files) {
  ReportMoments(group, files);
  ReportMembers(p, group, files);
  ReportMatrices(p, group, files);
  // The probability modules draw control groups of the size actually used.
  if (static_cast<int>(group.members.size()) != p.groupSize) {
    const std::array<int, 1> used = {static_cast<int>(group.members.size())};
    files.Put(kEventsDat, used);
  }
}
