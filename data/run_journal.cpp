#include "data/run_journal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "qzk/sha256.h"

namespace {
bool open = false;
RunJournal journal;

// A path below the working folder as relative to it.
std::string WorkingRelative(const std::string& path) {
  char here[4096];
  if (path.empty() || path[0] != '/' || !getcwd(here, sizeof here)) return path;
  const std::string base = std::string(here) + "/";
  return path.compare(0, base.size(), base) == 0 ? path.substr(base.size()) : path;
}
}  // namespace

void JournalBegin() {
  journal = RunJournal{};
  open = true;
}

bool JournalOpen() { return open; }

RunJournal JournalEnd() {
  open = false;
  RunJournal out = std::move(journal);
  journal = RunJournal{};
  return out;
}

void JournalNoteAnswer(const std::string& question, const std::string& answer) {
  JournalNoteAnswer(JournalAnswer{question, answer, "", true});
}

void JournalNoteAnswer(const JournalAnswer& answer) {
  if (open) journal.answers.push_back(answer);
}


void JournalNoteRead(const std::string& named) {
  if (!open || named.empty()) return;
  const std::string path = WorkingRelative(named);
  for (const JournalFile& f : journal.reads)
    if (f.path == path) return;
  JournalFile f;
  f.path = path;
  if (!qzsha256_file(path, f.sha256, f.bytes)) return;  // not there: nothing was read
  journal.reads.push_back(f);
}

void JournalNoteWritten(const std::string& named, const std::string& bytes) {
  if (!open || named.empty()) return;
  const std::string path = WorkingRelative(named);
  std::erase(journal.putBack, path);
  JournalFile file{path, bytes.size(), qzsha256_hex(bytes)};
  for (JournalFile& f : journal.writes)
    if (f.path == path) {
      f = file;
      return;
    }
  journal.writes.push_back(file);
}

void JournalNotePutBack(const std::string& named) {
  if (!open || named.empty()) return;
  const std::string path = WorkingRelative(named);
  std::erase_if(journal.writes, [&](const JournalFile& f) { return f.path == path; });
  if (std::find(journal.putBack.begin(), journal.putBack.end(), path) == journal.putBack.end())
    journal.putBack.push_back(path);
}

void JournalNoteMessage(const std::string& text) {
  if (!open) return;
  std::string folded;
  bool gap = false;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
      gap = !folded.empty();
      continue;
    }
    if (gap) folded += ' ';
    gap = false;
    folded += c;
  }
  if (!folded.empty()) journal.messages.push_back(folded);
}

void JournalNoteMatrixCell(const JournalMatrixCell& cell) {
  if (open) journal.matrices.push_back(cell);
}

void JournalNoteCurvePoint(const JournalCurvePoint& point) {
  if (open) journal.curves.push_back(point);
}

void JournalNoteEventMark(const JournalEventMark& mark) {
  if (open) journal.events.push_back(mark);
}

void JournalNoteMember(const JournalMember& member) {
  if (open) journal.members.push_back(member);
}

std::string ShortestNumberText(double value) {
  char text[40];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}
