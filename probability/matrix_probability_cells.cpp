#include "probability/matrix_probability_cells.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "analyses/workfiles.h"

namespace {

// Not a working file that another module reads: the run's record of its
// cells, beside the significance files.
constexpr WorkFile kCellsCsv{kCellsCsvName, WorkLayout::Text, WorkExtent::Listed};

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char ch : text) {
    if (ch == '"') quoted += '"';
    quoted += ch;
  }
  return quoted + "\"";
}

std::string Number(double v) {
  if (std::isnan(v)) return "";
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

std::string Record(const CellTest& t) {
  const std::vector<std::string> fields{
      KindName(t.cell.kind),      RowName(t.cell),         ColumnName(t.cell),
      Number(t.group),            Number(t.controlMean),   Number(t.controlSd),
      Number(t.z),                std::to_string(t.countGe), std::to_string(t.countLe),
      std::to_string(t.groups),   Number(t.percent),       Number(t.percentLow),
      Number(t.percentHigh),      Number(t.p),             Number(t.q),
      Number(t.pAdjusted),        std::to_string(t.mark),  t.inFamily ? "1" : "0"};
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += Field(fields[i]);
  }
  return out;
}

// The records without their line ends: the working-file writer ends each
// line with "\n", so a record ending in "\r" ends in CR LF.
std::vector<std::string> Records(const FamilyTests& tests) {
  std::vector<std::string> lines{std::string(kCellsCsvHeader) + "\r"};
  for (const CellTest& t : tests.cells) lines.push_back(Record(t) + "\r");
  return lines;
}

}  // namespace

std::string CellsCsv(const FamilyTests& tests) {
  std::string out;
  for (const std::string& line : Records(tests)) out += line + "\n";
  return out;
}

bool WriteCellsCsv(const FamilyTests& tests) { return WriteLines(kCellsCsv, Records(tests)); }
