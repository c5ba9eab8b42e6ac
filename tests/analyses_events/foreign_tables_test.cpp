// The event analysis on dBase tables written by other programs
// (python3-dbf, GDAL's ogr2ogr; see foreign_tables.py): the same four
// persons in other layouts, field types and code pages must give the same
// group files, byte for byte, as our own example table.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "events_session.h"

using namespace events_session;

namespace {

const std::string kScript = std::string(SOURCE_DIR) + "/tests/analyses_events/foreign_tables.py";

// The tables the writer made in the current folder; empty with `skip` set
// when the writer is not installed.
std::vector<std::string> WriteTables(const char* writer, std::string& skip) {
  const std::string command = "/usr/bin/python3 '" + kScript + "' " + writer + " . 2> writer.log";
  FILE* pipe = popen(command.c_str(), "r");
  std::vector<std::string> tables;
  if (!pipe) {
    skip = "cannot start /usr/bin/python3";
    return tables;
  }
  char line[256];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string name = line;
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (!name.empty()) tables.push_back(name);
  }
  const int status = pclose(pipe);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code == 3 || code == 127) {
    skip = std::string("the writer is not installed (") + (std::string(writer) == "dbf" ? "python3-dbf" : "gdal-bin") + ")";
    tables.clear();
  } else if (code != 0) {
    ADD_FAILURE() << writer << " writer failed with " << code << ":\n" << Bytes("writer.log");
    tables.clear();
  }
  return tables;
}

// The four persons from our example table: the reference.
std::map<std::string, std::string> Reference(WorkbenchSession& s) {
  Start(s);
  FromTable(s, "persons.dbf", 1);
  EXPECT_TRUE(s.Run(kEvents)) << s.Error();
  return GroupFiles();
}

void ExpectSameGroup(WorkbenchSession& s, const std::string& table, const std::map<std::string, std::string>& want) {
  SCOPED_TRACE(table);
  for (const std::string& f : kGroupFiles)  // the results, not the continuum's settings
    if (f != "datdat.txt" && f != "datplanet.txt") std::remove(f.c_str());
  Start(s);
  FromTable(s, table, 1);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  const std::string page = s.Text(6);
  EXPECT_NE(page.find("Members used: 4 of 4"), std::string::npos) << page;
  EXPECT_EQ(page.find(" left out: "), std::string::npos) << page;
  if (table.rfind("vfp", 0) == 0) {  // its binary SECOND field
    EXPECT_NE(page.find("not read as text, taken as missing: SECOND (type I)"), std::string::npos) << page;
  }
  EXPECT_EQ(page.find("ATTENTION * GMT is calculated *"), std::string::npos) << page;
  const auto got = GroupFiles();
  for (const std::string& f : kGroupFiles) EXPECT_EQ(got.at(f), want.at(f)) << f;
}

void RunWriter(const char* writer) {
  WorkbenchSession s(Modules());
  CopyExamples(s);
  std::string skip;
  const std::vector<std::string> tables = WriteTables(writer, skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  ASSERT_FALSE(tables.empty());
  Continuum(s, 4);
  const auto want = Reference(s);
  ASSERT_EQ(want.at("name.txt"), "Frédéric Bäumler\n");
  ASSERT_EQ(want.at("juliansummerz.txt"), "0\n0\n0\n1\n");
  for (const std::string& table : tables) ExpectSameGroup(s, table, want);
}

TEST(ForeignTables, PythonDbfTablesGiveTheSameGroup) { RunWriter("dbf"); }

TEST(ForeignTables, OgrTablesGiveTheSameGroup) { RunWriter("ogr"); }

}  // namespace
