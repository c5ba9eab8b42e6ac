// The files a module replaced, put back after it was stopped: what they
// held, removed when new, a FIFO in a working file's place taken as no file
// (instead of waiting for a writer), and the running module's record told
// which files are no longer its outputs.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "analyses/workfile_set.h"
#include "analyses/workfiles.h"
#include "app/module_files.h"
#include "data/run_journal.h"
#include "qzk/sha256.h"
#include "read_file.h"
#include "temp_folder.h"

namespace {

void Write(const char* path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool Exists(const char* path) {
  struct stat st {};
  return ::stat(path, &st) == 0;
}

TEST(ModuleFiles, AStoppedSetIsPutBackAndLeavesTheRecordsOutputs) {
  InTempFolder here("module_files_");
  Write(kDatOrd.name, "3\n");
  ASSERT_EQ(::mkfifo(kSelfKorr.name, 0600), 0);  // a FIFO where a working file goes
  JournalBegin();
  BeginKeepingFiles();
  WorkfileSet set;
  const int order[] = {5};
  const int self[] = {1};
  const double dat[] = {9, 1};
  set.Put(kDatOrd, order);
  set.Put(kSelfKorr, self);
  set.Put(kDatDat, dat);
  ASSERT_TRUE(set.Commit()) << "the FIFO is replaced, not read";
  EXPECT_EQ(ReadFile(kDatOrd.name), "5\n");
  EXPECT_EQ(KeptFileCount(), 3);

  EXPECT_TRUE(RestoreKeptFiles());
  EXPECT_EQ(ReadFile(kDatOrd.name), "3\n") << "as it was";
  EXPECT_FALSE(Exists(kDatDat.name)) << "new, so removed";
  EXPECT_FALSE(Exists(kSelfKorr.name)) << "the FIFO held no file to put back";
  const RunJournal journal = JournalEnd();
  EXPECT_TRUE(journal.writes.empty()) << "nothing the module wrote is left";
  EXPECT_EQ(journal.putBack.size(), 3u);
}

TEST(ModuleFiles, ACommittedSetIsTheRecordsOutputsWithItsBytes) {
  InTempFolder here("module_files_");
  JournalBegin();
  WorkfileSet first;
  const int order[] = {4};
  first.Put(kDatOrd, order);
  ASSERT_TRUE(first.Commit());
  WorkfileSet second;  // the same file again: its last bytes count
  const int again[] = {6};
  second.Put(kDatOrd, again);
  ASSERT_TRUE(second.Commit());
  const RunJournal journal = JournalEnd();
  ASSERT_EQ(journal.writes.size(), 1u);
  EXPECT_EQ(journal.writes[0].path, kDatOrd.name);
  EXPECT_EQ(journal.writes[0].bytes, 2u);
  EXPECT_EQ(journal.writes[0].sha256, qzsha256_hex(ReadFile(kDatOrd.name))) << "the bytes in place";
}

}  // namespace
