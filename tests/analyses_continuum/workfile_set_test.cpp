// A module's working files as one set: all written or none, and a set that
// a killed process left behind finished or discarded by the next reader.
#include "analyses/workfile_set.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/module_report.h"
#include "read_file.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

void Put(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// Five files of a set, the first large enough that writing it takes a
// while, each value `v`.
void PutFive(WorkfileSet& set, double v) {
  set.Put(kJulianDat, std::vector<double>(200000, v));
  set.Put(kDatPlanet, std::vector<double>(11, v));
  set.Put(kDatOrd, std::vector<int>{static_cast<int>(v)});
  set.Put(kZsummH, std::vector<double>(11, v));
  set.PutLines(kName, {"value " + std::to_string(v)});
}

const std::vector<std::string> kFive = {"juliandat.txt", "datplanet.txt", "datord.txt", "zsummh.txt",
                                        "name.txt"};

std::vector<std::string> Contents() {
  std::vector<std::string> bytes;
  for (const std::string& f : kFive) bytes.push_back(ReadFile(f));
  return bytes;
}

std::vector<std::string> Leftovers() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator("."))
    if (e.path().extension() == ".new" || e.path().filename().string().find("journal") != std::string::npos)
      names.push_back(e.path().filename());
  return names;
}

TEST(WorkfileSet, CommitsEveryFileAndLeavesNoTemporaryNorJournal) {
  InTempFolder here("set_");
  WorkfileSet set;
  PutFive(set, 3);
  set.Put(kDatOrd, std::vector<int>{4});  // a second Put replaces the first
  EXPECT_FALSE(fs::exists("datord.txt")) << "nothing is written before the commit";
  TakeModuleReport();
  ASSERT_TRUE(set.Commit());
  EXPECT_EQ(ReadFile("datord.txt"), "4\n");
  EXPECT_EQ(ReadFile("name.txt"), "value 3.000000\n");
  EXPECT_EQ(ReadFile("datplanet.txt").size(), 11u * 9);
  EXPECT_TRUE(Leftovers().empty());
  EXPECT_EQ(TakeModuleReport().outcome, ModuleOutcome::Finished);
}

TEST(WorkfileSet, ASetThatCannotBeWrittenLeavesTheOldSetAndFailsTheModule) {
  InTempFolder here("set_");
  WorkfileSet old;
  PutFive(old, 1);
  ASSERT_TRUE(old.Commit());
  const auto before = Contents();

  // A value no file can hold.
  TakeModuleReport();
  WorkfileSet bad;
  PutFive(bad, 2);
  bad.Put(kZsummH, std::vector<double>{1.0, std::nan(""), 2.0});
  EXPECT_FALSE(bad.Commit());
  EXPECT_EQ(Contents(), before);
  const ModuleReport report = TakeModuleReport();
  EXPECT_EQ(report.outcome, ModuleOutcome::Failed);
  EXPECT_NE(report.message.find("zsummh.txt could not be written (a value is not a finite number)"),
            std::string::npos)
      << report.message;

  // A folder in the place of the last file: found before anything is written.
  TakeModuleReport();
  fs::remove("name.txt");
  fs::create_directory("name.txt");
  WorkfileSet blocked;
  PutFive(blocked, 2);
  EXPECT_FALSE(blocked.Commit());
  EXPECT_TRUE(fs::is_directory("name.txt"));
  EXPECT_EQ(ReadFile("datord.txt"), "1\n");
  EXPECT_TRUE(Leftovers().empty());
  EXPECT_EQ(TakeModuleReport().outcome, ModuleOutcome::Failed);
  fs::remove("name.txt");

  // A full disk, as a limit on the size of a file: the large file fails
  // half written under its temporary name, which is removed.
  TakeModuleReport();
  struct rlimit limit {}, saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  limit = saved;
  limit.rlim_cur = 64 * 1024;
  auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  WorkfileSet full;
  PutFive(full, 2);
  const bool written = full.Commit();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile("datord.txt"), "1\n");
  EXPECT_EQ(ReadFile("juliandat.txt"), before[0]);
  EXPECT_TRUE(Leftovers().empty());
  const ModuleReport fullReport = TakeModuleReport();
  EXPECT_EQ(fullReport.outcome, ModuleOutcome::Failed);
  EXPECT_NE(fullReport.message.find("juliandat.txt could not be written"), std::string::npos) << fullReport.message;
}

TEST(WorkfileSet, TheNextReaderDiscardsAPendingSetAndFinishesACommittedOne) {
  InTempFolder here("set_");
  Put("datord.txt", "3\n");
  Put("datdat.txt", "10\n8\n");

  // Pending: the temporaries are discarded, the old files stay.
  Put("datord.txt.new", "12\n");
  Put(kWorkfileJournal, "working file set\npending\n2\ndatord.txt\ndatdat.txt\nend\n");
  EXPECT_EQ(ReadIntegers(kDatOrd, 1, MissingFileNotice{0.0})->at(0), 3);
  EXPECT_TRUE(Leftovers().empty());

  // Committed, killed after the first rename: the second is put in place.
  Put("datord.txt", "12\n");
  Put("datdat.txt.new", "9\n1\n");
  Put(kWorkfileJournal, "working file set\ncommit\n2\ndatord.txt\ndatdat.txt\nend\n");
  EXPECT_EQ(ReadIntegers(kDatDat, 2, MissingFileNotice{0.0})->at(0), 9);
  EXPECT_EQ(ReadFile("datord.txt"), "12\n");
  EXPECT_TRUE(Leftovers().empty());

  // A journal that is cut, or names a file outside the folder, is no
  // journal of this program: it is removed and nothing is renamed.
  for (const char* journal : {"working file set\ncommit\n2\ndatord.txt\n",
                              "working file set\ncommit\n1\n../datord.txt\nend\n"}) {
    Put("datord.txt.new", "5\n");
    Put(kWorkfileJournal, journal);
    RecoverWorkfileSet();
    EXPECT_FALSE(fs::exists(kWorkfileJournal));
    EXPECT_EQ(ReadFile("datord.txt"), "12\n") << journal;
    fs::remove("datord.txt.new");
  }
}

// A process that commits a set is killed at random instants; after each
// kill the next reader sees the whole old set or the whole new one.
TEST(WorkfileSet, AKillAtAnyInstantLeavesTheWholeOldOrTheWholeNewSet) {
  InTempFolder here("set_");
  WorkfileSet old, fresh;
  PutFive(old, 1);
  ASSERT_TRUE(old.Commit());
  const auto oldSet = Contents();
  PutFive(fresh, 2);
  {
    InTempFolder reference("set_new_");
    WorkfileSet copy = fresh;
    ASSERT_TRUE(copy.Commit());
  }
  ASSERT_TRUE(fresh.Commit());
  const auto newSet = Contents();
  ASSERT_NE(oldSet, newSet);

  // How long a commit takes here.
  const auto start = std::chrono::steady_clock::now();
  WorkfileSet again = fresh;
  ASSERT_TRUE(again.Commit());
  const auto commitTime = std::chrono::steady_clock::now() - start;
  const long long span = std::max<long long>(
      200, std::chrono::duration_cast<std::chrono::microseconds>(commitTime).count() * 12 / 10);

  std::mt19937 random(18);
  int oldSeen = 0, newSeen = 0;
  for (int round = 0; round < 60; ++round) {
    WorkfileSet back = old;
    ASSERT_TRUE(back.Commit());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      WorkfileSet set = fresh;
      _exit(set.Commit() ? 0 : 1);
    }
    usleep(static_cast<useconds_t>(std::uniform_int_distribution<long long>(0, span)(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    RecoverWorkfileSet();
    const auto seen = Contents();
    ASSERT_TRUE(seen == oldSet || seen == newSet) << "after kill " << round;
    (seen == oldSet ? oldSeen : newSeen)++;
    EXPECT_TRUE(Leftovers().empty()) << "after kill " << round;
  }
  RecordProperty("old", oldSeen);
  RecordProperty("new", newSeen);
  std::printf("kills: %d saw the old set, %d the new one (a commit took %lld us)\n", oldSeen, newSeen,
              static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(commitTime).count()));
}

}  // namespace
