#include "app/record_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "app/run_facts.h"
#include "core/calendar.h"

namespace {

constexpr const char* kBodies[] = {"Sun",    "Moon",   "Mercury", "Venus",   "Mars", "Jupiter",
                                   "Saturn", "Uranus", "Neptune", "Pluto",   "IC"};

std::string Csv(std::initializer_list<std::string> fields) {
  std::string line;
  bool first = true;
  for (const std::string& f : fields) {
    line += (first ? "" : ",") + f;
    first = false;
  }
  return line + "\r\n";
}

std::string FileList(const std::vector<RecordFile>& files) {
  if (files.empty()) return "[]";
  std::string out = "[";
  for (size_t i = 0; i < files.size(); ++i) {
    out += i ? ",\n    " : "\n    ";
    out += "{\"path\": " + JsonString(files[i].path) + ", \"bytes\": " + std::to_string(files[i].bytes) +
           ", \"sha256\": " + JsonString(files[i].sha256) + "}";
  }
  return out + "\n  ]";
}

}  // namespace

std::string RecordBodyName(int body) {
  if (body == kRowSum) return "SUM";
  return body >= 0 && body <= 10 ? kBodies[body] : std::to_string(body);
}

std::string IsoDateOfJulian(double jd) {
  if (!std::isfinite(jd)) return "";
  const double seconds = std::round((jd + 0.5) * 86400.0);
  const double days = std::floor(seconds / 86400.0);
  const long long inDay = static_cast<long long>(seconds - days * 86400.0);
  const CalendarDate d = CalendarFromJulian(days - 0.5 + 0.0001);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02lld:%02lld:%02lldZ", d.year, d.month, d.day, inDay / 3600,
                inDay / 60 % 60, inDay % 60);
  return text;
}

std::string IsoTimeUtc(long long secondsSince1970) {
  const time_t t = static_cast<time_t>(secondsSince1970);
  struct tm parts {};
  gmtime_r(&t, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char esc[8];
          std::snprintf(esc, sizeof esc, "\\u%04x", c);
          out += esc;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string CsvNumber(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string ManifestJson(const ModuleRecord& r, const ManifestFacts& f) {
  std::string answers = r.journal.answers.empty() ? "[]" : "[";
  for (size_t i = 0; i < r.journal.answers.size(); ++i) {
    const JournalAnswer& a = r.journal.answers[i];
    answers += (i ? ",\n    " : "\n    ");
    answers += "{\"question\": " + JsonString(a.question) + ", \"answer\": " + JsonString(a.answer) + "}";
  }
  if (!r.journal.answers.empty()) answers += "\n  ]";
  std::string messages = r.journal.messages.empty() ? "[]" : "[";
  for (size_t i = 0; i < r.journal.messages.size(); ++i)
    messages += (i ? ",\n    " : "\n    ") + JsonString(r.journal.messages[i]);
  if (!r.journal.messages.empty()) messages += "\n  ]";
  std::string out = "{\n";
  out += "  \"program\": \"kmwb\",\n";
  out += "  \"version\": {\"release\": " + JsonString(ProgramRelease()) + ", \"commit\": " +
         JsonString(ProgramCommit()) + "},\n";
  out += "  \"module\": " + JsonString(r.label) + ",\n";
  out += "  \"seed\": " + std::to_string(r.seed) + ",\n";
  out += "  \"run_seed\": " + std::to_string(f.runSeed) + ",\n";
  out += "  \"threads\": " + std::to_string(r.threads) + ",\n";
  out += "  \"ephemeris\": " + JsonString(r.ephemeris) + ",\n";
  out += "  \"started\": " + JsonString(r.started) + ",\n";
  out += "  \"finished\": " + JsonString(r.finished) + ",\n";
  out += "  \"outcome\": " + JsonString(r.outcome) + ",\n";
  out += "  \"platform\": " + JsonString(f.platform) + ",\n";
  out += "  \"working_folder\": " + JsonString(f.workingFolder) + ",\n";
  out += "  \"record_folder\": " + JsonString(f.recordFolder) + ",\n";
  out += "  \"answers\": " + answers + ",\n";
  out += "  \"inputs\": " + FileList(f.inputs) + ",\n";
  out += "  \"outputs\": " + FileList(f.outputs) + ",\n";
  out += "  \"messages\": " + messages + "\n";
  return out + "}\n";
}

std::string MatricesCsv(const RunJournal& j) {
  if (j.matrices.empty()) return "";
  std::string out = Csv({"table", "matrix", "row", "column", "value"});
  for (const JournalMatrixCell& c : j.matrices)
    out += Csv({CsvField(c.table), CsvField(c.matrix), RecordBodyName(c.row), RecordBodyName(c.column),
                CsvNumber(c.value)});
  return out;
}

bool WriteCurvesCsv(const RunJournal& j, const CsvSink& sink) {
  if (j.curves.empty()) return true;
  std::string piece = Csv({"jd", "date_utc", "kind", "body", "value"});
  // The points of one moment follow each other: its numbers and date once.
  double lastJd = std::nan("");
  std::string jdText, dateText;
  for (const JournalCurvePoint& p : j.curves) {
    if (!(p.jd == lastJd)) {
      lastJd = p.jd;
      jdText = CsvNumber(p.jd);
      dateText = IsoDateOfJulian(p.jd);
    }
    piece += Csv({jdText, dateText, CsvField(p.kind), RecordBodyName(p.body), CsvNumber(p.value)});
    if (piece.size() > (1u << 16)) {
      if (!sink(piece)) return false;
      piece.clear();
    }
  }
  return piece.empty() || sink(piece);
}

std::string CurvesCsv(const RunJournal& j) {
  std::string out;
  WriteCurvesCsv(j, [&](const std::string& piece) {
    out += piece;
    return true;
  });
  return out;
}

std::string EventsCsv(const RunJournal& j) {
  if (j.events.empty()) return "";
  std::string out = Csv({"jd", "date_utc", "kind", "value", "over_limit"});
  for (const JournalEventMark& e : j.events)
    out += Csv({CsvNumber(e.jd), IsoDateOfJulian(e.jd), CsvField(e.kind), CsvNumber(e.value), e.overLimit ? "1" : "0"});
  return out;
}

std::string MembersCsv(const RunJournal& j) {
  if (j.members.empty()) return "";
  std::string out = Csv({"number", "last_name", "first_name", "year", "month", "day", "hour", "minute", "second",
                         "time_zone", "summer_time", "place", "longitude", "latitude", "jd_ut", "used",
                         "left_out_because"});
  auto n = [](int v) { return std::to_string(v); };
  // Used and left-out members are noted at different steps: in number order.
  std::vector<JournalMember> members = j.members;
  std::stable_sort(members.begin(), members.end(),
                   [](const JournalMember& a, const JournalMember& b) { return a.number < b.number; });
  for (const JournalMember& m : members)
    out += Csv({n(m.number), CsvField(m.lastName), CsvField(m.firstName), n(m.year), n(m.month), n(m.day),
                n(m.hour), n(m.minute), n(m.second), n(m.timeZone), n(m.summerTime), CsvField(m.place),
                CsvNumber(m.longitude), CsvNumber(m.latitude), m.used ? CsvNumber(m.jd) : "",
                m.used ? "1" : "0", CsvField(m.leftOutBecause)});
  return out;
}
