#include "app/module_record.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/folder_state.h"
#include "app/module_report.h"
#include "app/page_files.h"
#include "app/record_files.h"
#include "app/run_facts.h"
#include "qzk/random.h"
#include "qzk/sha256.h"

namespace {

bool open = false;
ModuleRecord current;
ModuleRecord last;
FolderState before;
std::vector<std::string> skipped = {"records"};
bool windowRecords = true;

long long NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// Blanks, tabs and line breaks folded to one blank, none at the ends.
std::string Folded(const std::string& text) {
  std::string out;
  bool gap = false;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      gap = !out.empty();
      continue;
    }
    if (gap) out += ' ';
    gap = false;
    out += c;
  }
  return out;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool Describe(const std::string& path, RecordFile& file) {
  file.path = path;
  return qzsha256_file(path, file.sha256, file.bytes);
}

bool WriteWholeFileInPieces(const std::string& path, const std::function<bool(const CsvSink&)>& produce) {
  const std::string temporary = path + ".tmp";
  FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return false;
  bool ok = produce([&](const std::string& piece) {
    return std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
  });
  ok = std::fclose(f) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

std::string WorkingFolder() {
  char here[4096];
  return getcwd(here, sizeof here) ? here : ".";
}

}  // namespace

void SkipInRecords(const std::string& folder) { skipped.push_back(folder); }

void BeginModuleRecord(const std::string& label) {
  current = ModuleRecord{};
  current.label = label;
  current.seed = qzrandom_state_seed_now();
  current.threads = RunThreadCount();
  current.ephemeris = RunEphemerisName();
  current.started = IsoTimeUtc(NowSeconds());
  before = ReadFolderState(".", skipped);
  JournalBegin();
  open = true;
}

ModuleRecord EndModuleRecord() {
  if (!open) return ModuleRecord{};
  open = false;
  current.journal = JournalEnd();
  const ModuleReport report = PeekModuleReport();
  current.outcome = ModuleOutcomeName(report.outcome);
  if (report.outcome != ModuleOutcome::Finished && !report.message.empty()) {
    std::string reason = report.message;
    for (char& c : reason)
      if (c == '\n') c = ' ';
    current.journal.messages.push_back(current.outcome + ": " + reason);
  }
  current.finished = IsoTimeUtc(NowSeconds());
  // The working files from what their sets committed; besides them every
  // other file the module wrote (its pictures and tables), but none that
  // was put back as it was.
  const RunJournal& j = current.journal;
  auto listed = [](const std::vector<std::string>& paths, const std::string& path) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
  };
  std::vector<std::string> committed;
  for (const JournalFile& f : j.writes) committed.push_back(f.path);
  current.written = committed;
  for (const std::string& path : ChangedFiles(before, ReadFolderState(".", skipped), "."))
    if (!listed(committed, path) && !listed(j.putBack, path)) current.written.push_back(path);
  before.clear();
  last = current;
  return current;
}

ModuleRecord& LastModuleRecord() { return last; }

void SetWindowRecords(bool on) { windowRecords = on; }
bool WindowRecords() { return windowRecords; }

std::string WindowRecordFolder(const std::string& label, const std::string& finished) {
  // "2026-12-09T07:10:10Z" -> "20261209-071010"
  std::string stamp;
  for (char c : finished)
    if (c >= '0' && c <= '9') stamp += c;
  if (stamp.size() >= 14) stamp = stamp.substr(0, 8) + "-" + stamp.substr(8, 6);
  std::string base = "records/" + stamp + "-" + LabelForFileName(label);
  std::string folder = base;
  for (int n = 2; Exists(folder); ++n) folder = base + "-" + std::to_string(n);
  return folder;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  return WriteWholeFileInPieces(path, [&](const CsvSink& sink) { return sink(bytes); });
}

std::string ReplayLines(const ModuleRecord& r) {
  std::string out = "run " + r.label + "\n";
  for (const JournalAnswer& a : r.journal.answers) {
    if (!a.scriptable) {
      out += "# \"" + Folded(a.question) + "\" was cancelled, which a script cannot do\n";
      continue;
    }
    const std::string question = Folded(a.question);
    if (question.empty() || question.find("->") != std::string::npos)
      out += a.answer + "\n";
    else
      out += question + " -> " + a.answer + "\n";
  }
  return out;
}

bool WriteModuleRecord(ModuleRecord& r, const std::string& folder, const std::vector<std::string>& pageFiles,
                       std::string& error) {
  if (!MakeFolders(folder)) {
    error = "the record folder " + folder + " cannot be made";
    return false;
  }
  std::vector<std::string> files = pageFiles;
  auto write = [&](const std::string& name, const std::string& bytes) {
    const std::string path = folder + "/" + name;
    if (!WriteWholeFile(path, bytes)) {
      error = path + " cannot be written";
      return false;
    }
    files.push_back(path);
    return true;
  };
  int entries = 0;
  for (JournalAnswer& a : r.journal.answers) {
    if (a.personFile.empty()) continue;
    const std::string name = "entry-" + std::to_string(++entries) + ".person";
    if (!write(name, a.personFile)) return false;
    a.answer = folder + "/" + name;
  }
  const std::pair<const char*, std::string> tables[] = {{"matrices.csv", MatricesCsv(r.journal)},
                                                        {"events.csv", EventsCsv(r.journal)},
                                                        {"members.csv", MembersCsv(r.journal)}};
  for (const auto& [name, text] : tables)
    if (!text.empty() && !write(name, text)) return false;
  // Tables and PNG or SVG pictures a module writes into the working folder
  // itself (the matrix probability's cells.csv, pvalues.png and
  // pvalues.svg) belong to its record as well.
  auto recorded = [](const std::string& name) {
    for (const char* ending : {".csv", ".png", ".svg"})
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ending) == 0) return true;
    return false;
  };
  for (const std::string& path : r.written) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (!recorded(name) || Exists(folder + "/" + name)) continue;
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    if (!in || !write(name, bytes.str())) {
      error = folder + "/" + name + " cannot be written";
      return false;
    }
  }
  if (!r.journal.curves.empty()) {
    const std::string path = folder + "/curves.csv";
    if (!WriteWholeFileInPieces(path, [&](const CsvSink& sink) { return WriteCurvesCsv(r.journal, sink); })) {
      error = path + " cannot be written";
      return false;
    }
    files.push_back(path);
  }

  const uint64_t runSeed = qzrandom_current_seed();
  std::string replay = "# The run of \"" + r.label + "\" of " + r.started + " again, with its answers. In the\n" +
                       "# working folder as it was before (the manifest's inputs):\n" +
                       "#   kmwb --batch " + folder + "/replay.kmwb --seed " + std::to_string(r.seed) +
                       " --ephemeris " + r.ephemeris + "\n" +
                       ReplayLines(r);
  if (!write("replay.kmwb", replay)) return false;

  ManifestFacts facts;
  facts.runSeed = runSeed;
  facts.platform = RunPlatform();
  facts.workingFolder = WorkingFolder();
  facts.recordFolder = folder;
  for (const JournalFile& f : r.journal.reads) facts.inputs.push_back({f.path, f.bytes, f.sha256});
  std::vector<std::string> outputs = r.written;
  outputs.insert(outputs.end(), files.begin(), files.end());
  for (const std::string& path : outputs) {
    RecordFile f;
    auto set = std::find_if(r.journal.writes.begin(), r.journal.writes.end(),
                            [&](const JournalFile& w) { return w.path == path; });
    if (set != r.journal.writes.end())
      facts.outputs.push_back({set->path, set->bytes, set->sha256});
    else if (Describe(path, f))
      facts.outputs.push_back(f);
  }
  if (!write("manifest.json", ManifestJson(r, facts))) return false;
  return true;
}
