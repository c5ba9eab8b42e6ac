#pragma once
// The research record of one module run: what ran (the button's label),
// with which random seed, threads and ephemeris, when, on what, the
// answers its dialogs took, the files it read and wrote, its warnings,
// and its results as tidy tables. The shell opens a record around every
// module run (RunMenuModule); a window run writes it into
// records/YYYYMMDD-HHMMSS-LABEL/ under the working folder, a batch run
// into DIR/NN-LABEL/. The folder then holds:
//
//   manifest.json   the record (fields in record_files.h)
//   replay.kmwb     a batch script that runs the module again with the
//                   same answers: in the working folder as it was before
//                   the run (or a copy of the inputs the manifest lists),
//                   "kmwb --batch FOLDER/replay.kmwb --seed S --ephemeris E"
//                   writes the same working files byte for byte
//   matrices.csv, curves.csv, events.csv, members.csv
//                   the module's results, where it has them, and a copy of
//                   every table (*.csv) it wrote into the working folder
//                   (the matrix probability's cells.csv)
//   entry-K.person  the values typed into the entry dialog, which the
//                   replay's answer names
//   text-K.txt, graphic-K.*   the pages the module printed or drew on
#include <cstdint>
#include <string>
#include <vector>

#include "data/run_journal.h"

struct RecordFile {
  std::string path;  // relative to the working folder
  uint64_t bytes = 0;
  std::string sha256;
};

struct ModuleRecord {
  std::string label;
  uint64_t seed = 0;  // the seed that starts the generator where this module found it
  int threads = 1;
  std::string ephemeris;
  std::string started, finished;  // ISO 8601, UTC
  std::string outcome = "finished";  // "ended early", "failed" (app/module_report.h)
  RunJournal journal;                 // its messages end with the reason of an early end
  // Relative to the working folder: the working files its sets committed
  // (journal.writes), then the other files it wrote or changed (pictures,
  // tables), without those put back after a stop.
  std::vector<std::string> written;
};

// Opens the record of the module with this label. Called by the shell
// before the module.
void BeginModuleRecord(const std::string& label);
// A folder (relative to the working folder) whose files are no working
// files: a batch run's results. "records" is one always.
void SkipInRecords(const std::string& folder);
// Closes it after the module has returned.
ModuleRecord EndModuleRecord();

// Whether a module run in the window writes its record itself (on unless
// a batch run, which places the records of its modules, turns it off).
void SetWindowRecords(bool on);
bool WindowRecords();
// The folder of a window run's record, "records/20261209-071010-Julian-Date",
// made unique with "-2", "-3", ... when it exists already.
std::string WindowRecordFolder(const std::string& label, const std::string& finished);

// The last record EndModuleRecord closed (for a batch run, which writes it).
ModuleRecord& LastModuleRecord();

// The record's files into `folder` (relative to the working folder; it
// holds the module's pages, `pageFiles`, already): the CSV tables, the
// person files of the answers (whose answers then name them), replay.kmwb
// and, last, manifest.json. False with a message when a file cannot be
// written.
bool WriteModuleRecord(ModuleRecord& record, const std::string& folder, const std::vector<std::string>& pageFiles,
                       std::string& error);

// The module's lines of a replay script: its "run" line and one line per
// answer, "question -> answer" (the question with its blanks and line
// breaks folded).
std::string ReplayLines(const ModuleRecord& record);

// Writes a file whole or not at all (a temporary name, then a rename).
bool WriteWholeFile(const std::string& path, const std::string& bytes);
