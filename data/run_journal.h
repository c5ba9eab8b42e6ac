#pragma once
// What the running module does that its research record keeps: the
// answers its dialogs took, the files it read, its warnings and early
// ends, and its results as tidy rows (matrices, curves, event marks,
// group members). The dialogs and the modules note them here while a
// journal is open; the shell opens one around every module run and writes
// the record from it (app/module_record.h). Nothing is kept while no
// journal is open, so code run outside a module (tests of a single
// function) notes into nothing.
#include <cstdint>
#include <string>
#include <vector>

// One dialog's answer as a batch script writes it ("question -> answer").
struct JournalAnswer {
  std::string question;
  std::string answer;
  // For the entry dialog answered with other values than it showed: the
  // values as a person file, which the record keeps beside the script and
  // the answer names.
  std::string personFile;
  bool scriptable = true;  // false: no script line can give it (a cancelled file dialog)
};

struct JournalFile {
  std::string path;    // as the module named it, relative to the working folder
  uint64_t bytes = 0;
  std::string sha256;  // of the bytes when they were first read
};

// One cell of a matrix, a row sum (column kRowSum) or a total (row and
// column kRowSum) of the table it belongs to ("continuum", "group", ...).
inline constexpr int kRowSum = -1;
struct JournalMatrixCell {
  std::string table;
  std::string matrix;  // "H", "I", "D", "DA"
  int row = 0, column = 0;
  double value = 0;
};

// One value of a curve at a moment; body kRowSum is the sum curve. The
// kind is a name with static storage ("H", "I", "D", "DA"): a run may
// keep millions of points.
struct JournalCurvePoint {
  double jd = 0;
  double value = 0;
  const char* kind = "";
  int body = 0;
};

// An event marked on the curves of a kind, with its value there.
struct JournalEventMark {
  double jd = 0;
  std::string kind;
  double value = 0;
  bool overLimit = false;
};

// A member of a group as the module read it, used or left out.
struct JournalMember {
  int number = 0;               // record or line number
  std::string lastName, firstName, place;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int timeZone = 0, summerTime = 0;
  double longitude = 0, latitude = 0;  // degrees, east and north positive
  double jd = 0;                       // universal time; 0 when left out
  bool used = false;
  std::string leftOutBecause;
};

struct RunJournal {
  std::vector<JournalAnswer> answers;
  std::vector<JournalFile> reads;
  // The working files the module's sets put in place, each with the bytes
  // it holds now (a file written twice: its last bytes), and those put back
  // as they were after the module was stopped.
  std::vector<JournalFile> writes;
  std::vector<std::string> putBack;
  std::vector<std::string> messages;
  std::vector<JournalMatrixCell> matrices;
  std::vector<JournalCurvePoint> curves;
  std::vector<JournalEventMark> events;
  std::vector<JournalMember> members;
};

// Opens a fresh journal (dropping one left open).
void JournalBegin();
bool JournalOpen();
// Closes the journal and hands over what it holds.
RunJournal JournalEnd();

void JournalNoteAnswer(const std::string& question, const std::string& answer);
void JournalNoteAnswer(const JournalAnswer& answer);
// A file the module read; the first reading of a path counts, with its
// size and checksum at that moment.
void JournalNoteRead(const std::string& path);
// A working file now in place with these bytes (analyses/workfile_set.h
// notes each file of a set it committed).
void JournalNoteWritten(const std::string& path, const std::string& bytes);
// A file put back as it was before the module: no longer one it wrote.
void JournalNotePutBack(const std::string& path);
// A warning or early end as the module printed it (blank runs and line
// breaks folded, blanks at the ends taken off).
void JournalNoteMessage(const std::string& text);
void JournalNoteMatrixCell(const JournalMatrixCell& cell);
void JournalNoteCurvePoint(const JournalCurvePoint& point);
void JournalNoteEventMark(const JournalEventMark& mark);
void JournalNoteMember(const JournalMember& member);

// The shortest "%.*g" text that reads back as the same double ("57.2",
// not "57.200000000000003"): how answers with numbers are written.
std::string ShortestNumberText(double value);
