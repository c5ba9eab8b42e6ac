#pragma once
// A module's working files, written as one set: all of them or none.
//
//     WorkfileSet set;
//     set.Put(kDatDat, dat);          // kept in memory, nothing written yet
//     set.Put(kDatPlanet, weights);
//     ...                             // a refused module just returns
//     if (!set.Commit()) return;      // the module ends as failed
//
// A module puts its files as it goes and commits once it knows it will
// succeed, so a module that is refused or stopped leaves every file as it
// was. Commit, in the current directory:
//  1. writes the journal "workfiles.journal", "pending", naming the set;
//  2. writes every file under its temporary name (name + ".new"), synced;
//  3. replaces the journal by its "commit" form: from here on the set
//     counts as written;
//  4. renames every temporary file over its file and removes the journal.
// Each journal is written under a temporary name, synced and renamed, so
// it is whole or absent. RecoverWorkfileSet, which every reader runs
// before it reads and Commit before it writes, finishes what a process
// that was killed left behind: a committed set is rolled forward (step 4),
// a pending one discarded with its temporary files. After a kill at any
// instant every reader therefore sees the whole old set or the whole new
// one. (A file the new set does not hold keeps its old content, as a
// module that writes a file only sometimes always did.)
//
// A set that cannot be written (a full disk, a folder in a file's place, a
// value that is not a finite number) prints "\n <name> could not be written
// \n" and "\n The working files are as they were. \n" on the current text
// page, reports the module as failed (app/module_report.h) and leaves
// nothing of the new set.
#include <span>
#include <string>
#include <vector>

#include "analyses/workfiles.h"

class WorkfileSet {
 public:
  // The file's values in its layout (see workfiles.h); a second Put of the
  // same file replaces the first.
  void Put(const WorkFile& file, std::span<const double> values);
  void Put(const WorkFile& file, std::span<const int> values);
  // Text files: each line as given, followed by "\n".
  void PutLines(const WorkFile& file, const std::vector<std::string>& lines);

  // Writes the set; false (after the messages above) when it could not be.
  // An empty set writes nothing and succeeds.
  bool Commit();

  bool Empty() const { return files_.empty(); }
  // The names put so far, in the order of their first Put.
  std::vector<std::string> Names() const;

 private:
  struct Entry {
    const WorkFile* file;
    std::string bytes;
    std::string problem;  // why the values cannot be written, or ""
  };
  void Keep(const WorkFile& file, std::string bytes, std::string problem);
  std::vector<Entry> files_;
};

// The journal and the ending of a file's temporary name.
inline constexpr const char* kWorkfileJournal = "workfiles.journal";
inline constexpr const char* kWorkfileNewEnding = ".new";

// Finishes or discards a set that a killed process left in the current
// directory; does nothing (one look at the journal's name) when there is
// none.
void RecoverWorkfileSet();
