// Tables of other writers (GDAL's ogr2ogr, python3-dbf) read by qzXBase,
// a table we changed read by dbfread, and the qzkdbf command.
#include <sys/wait.h>

#include <sstream>

#include "qzk/xbase.h"
#include "qzk/xbase_codepage.h"
#include "xbase_test_util.h"

using namespace xbase_test;

namespace {

const std::string kData = std::string(TEST_DATA_DIR) + "/dbf";

std::vector<std::string> split(const std::string& line, char by) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == by) out.emplace_back();
    else out.back() += c;
  }
  return out;
}

// The rows of persons.csv as the tables must give them back: dates as
// YYYYMMDD.
std::vector<std::vector<std::string>> expected_rows() {
  std::ifstream in(kData + "/persons.csv");
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line);  // the column names
  while (std::getline(in, line)) {
    auto cells = split(line, ',');
    std::string date;
    for (char c : cells[5])
      if (c != '/') date += c;
    cells[5] = date;
    rows.push_back(cells);
  }
  return rows;
}

std::string trim_left(const std::string& s) {
  size_t k = s.find_first_not_of(' ');
  return k == std::string::npos ? "" : s.substr(k);
}

void expect_persons(const std::string& file) {
  SCOPED_TRACE(file);
  qzXBase table;
  ASSERT_TRUE(table.open(file.c_str(), true)) << table.error();
  const char* names[] = {"NAME", "VORNAME", "ORT", "JAHR", "BREITE", "GEBURT"};
  const char types[] = {'C', 'C', 'C', 'N', 'N', 'D'};
  const int lengths[] = {20, 20, 20, 4, 7, 8};
  ASSERT_EQ(table.field_count(), 6);
  for (int f = 0; f < 6; ++f) {
    EXPECT_EQ(table.field_index(names[f]), f);
    EXPECT_EQ(table.field_type(f), types[f]);
    EXPECT_EQ(table.field_length(f), lengths[f]);
  }
  EXPECT_EQ(table.field_decimals(4), 2);
  const qzCodePage page = qzxbase_codepage_of_language(table.language_byte());
  auto rows = expected_rows();
  ASSERT_EQ(table.live_count(), static_cast<int>(rows.size()));
  for (int i = 0; i < table.live_count(); ++i)
    for (int f = 0; f < 6; ++f)
      EXPECT_EQ(trim_left(qzxbase_to_utf8(table.read_field(i, f), page)), rows[i][f])
          << "record " << i << " field " << names[f];
}

void expect_clipper(const std::string& file) {
  qzXBase table;
  ASSERT_TRUE(table.open(file.c_str(), true)) << table.error();
  ASSERT_EQ(table.field_count(), 2);
  EXPECT_EQ(table.field_length(1), 300);
  EXPECT_EQ(qzxbase_to_utf8(table.read_field(0, 1), qzCodePage::cp1252),
            "Größe " + std::string(280, 'x') + " Ende");
  EXPECT_EQ(qzxbase_to_utf8(table.read_field(0, 0), qzCodePage::cp1252), "Müller");
  EXPECT_EQ(table.read_field(1, 1), "");
}

const char* kPersonTables[] = {"gdal_cp1252.dbf", "gdal_ldid87.dbf", "pydbf_cp1252.dbf",
                               "pydbf_cp850.dbf", "pydbf_vfp.dbf"};

TEST(XBaseInterop, CommittedTablesOfOtherWriters) {
  for (const char* name : kPersonTables) expect_persons(kData + "/" + name);
  expect_clipper(kData + "/pydbf_clipper.dbf");
}

int run(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using XBaseFresh = InTempDir;

TEST_F(XBaseFresh, TablesWrittenNowByTheInstalledWriters) {
  if (run("bash '" + kData + "/make_tables.sh' '" + dir_ + "' 2>/dev/null") != 0)
    GTEST_SKIP() << "ogr2ogr (gdal-bin) or python3-dbf missing: fresh tables not written";
  for (const char* name : kPersonTables) expect_persons(path(name));
  expect_clipper(path("pydbf_clipper.dbf"));
}

TEST_F(XBaseFresh, ChangedTableReadBackByDbfread) {
  if (run("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") != 0)
    GTEST_SKIP() << "python3-dbfread missing: read-back by dbfread not tried";
  write_bytes(path("t.dbf"), read_bytes(kData + "/gdal_cp1252.dbf"));
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  ASSERT_TRUE(table.delete_record(1));  // Schröder
  ASSERT_TRUE(table.delete_record(2));  // Öztürk
  ASSERT_EQ(table.append_record(), 1);  // into Schröder's place
  ASSERT_TRUE(table.write_field(0, "Z\xF6llner"));
  ASSERT_TRUE(table.write_field(2, "M\xFCnchen"));
  ASSERT_TRUE(table.write_field(3, "1990"));
  ASSERT_EQ(table.append_record(), 3);  // into Öztürk's place
  ASSERT_TRUE(table.write_field(0, "Gr\xFC\xDF"));
  ASSERT_EQ(table.append_record(), 5);  // at the end
  ASSERT_TRUE(table.write_field(0, "Ende"));
  ASSERT_TRUE(table.write_field(4, "%7.2f", 48.14));
  ASSERT_TRUE(table.delete_record(0));  // Müller
  ASSERT_TRUE(table.close());

  const std::string script =
      "import dbfread\n"
      "t = dbfread.DBF('t.dbf', encoding='cp1252')\n"
      "for r in t:\n"
      "    print('|'.join('' if v is None else str(v) for v in r.values()))\n"
      "print('deleted', len(t.deleted))\n";
  std::ofstream("read.py") << script;
  ASSERT_EQ(run("/usr/bin/python3 read.py > out.txt 2> err.txt"), 0)
      << std::string(std::istreambuf_iterator<char>(std::ifstream("err.txt").rdbuf()), {});
  std::ifstream in("out.txt");
  std::string got((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(got,
            "Zöllner||München|1990||\n"
            "Weiß|Björn|Düsseldorf|1960|51.23|1960-07-15\n"
            "Grüß|||||\n"
            "Straßer|Änne|Lübeck|1982|53.87|1982-12-24\n"
            "Ende||||48.14|\n"
            "deleted 1\n");
}

// Runs qzkdbf with arguments; gives its exit status, standard output and
// standard error.
struct Result {
  int status;
  std::string out, err;
};

Result qzkdbf(const std::string& arguments) {
  std::string command = std::string(BINARY_DIR) + "/tools/qzkdbf " + arguments +
                        " > qzkdbf.out 2> qzkdbf.err";
  Result r{run(command), "", ""};
  std::ifstream out("qzkdbf.out"), err("qzkdbf.err");
  r.out.assign(std::istreambuf_iterator<char>(out), {});
  r.err.assign(std::istreambuf_iterator<char>(err), {});
  return r;
}

class XBaseCommand : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    if (access((std::string(BINARY_DIR) + "/tools/qzkdbf").c_str(), X_OK) != 0)
      GTEST_SKIP() << "qzkdbf not built in " << BINARY_DIR;
  }
};

TEST_F(XBaseCommand, InfoListsCountsAndFields) {
  write_bytes(path("t.dbf"), read_bytes(kData + "/pydbf_cp850.dbf"));
  Result r = qzkdbf("info t.dbf");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "records: 5\nlive: 5\ncode page: cp850 (language byte 0x02)\nfields: 6\n"
            "NAME\tC\t20\nVORNAME\tC\t20\nORT\tC\t20\nJAHR\tN\t4\nBREITE\tN\t7\t2\n"
            "GEBURT\tD\t8\n");
  EXPECT_EQ(read_bytes(path("t.dbf")), read_bytes(kData + "/pydbf_cp850.dbf"));
}

TEST_F(XBaseCommand, DumpConvertsTheCodePage) {
  std::string want = "NAME\tVORNAME\tORT\tJAHR\tBREITE\tGEBURT\n";
  for (const auto& row : expected_rows()) {
    for (size_t k = 0; k < row.size(); ++k) want += row[k] + (k + 1 < row.size() ? "\t" : "\n");
  }
  for (const char* name : {"pydbf_cp850.dbf", "pydbf_cp1252.dbf", "gdal_ldid87.dbf"}) {
    Result r = qzkdbf("dump '" + kData + "/" + name + "'");
    EXPECT_EQ(r.status, 0) << name;
    EXPECT_EQ(r.out, want) << name;
  }
  // cp850 bytes read as Windows ANSI: its "ü" (0x81) is undefined there.
  Result r = qzkdbf("dump --encoding CP1252 '" + kData + "/pydbf_cp850.dbf'");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("M\xEF\xBF\xBDller"), std::string::npos) << r.out;
}

TEST_F(XBaseCommand, DumpSkipsDeletedAndKeepsOneLinePerRecord) {
  ASSERT_TRUE(qzXBase::create(path("t.dbf").c_str(), {{"A", 'C', 8, 0}, {"B", 'N', 6, 2}}, 0x57));
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  table.append_record();
  table.write_field(0, "a\tb");
  table.write_field(1, "%6.2f", 1.5);
  table.append_record();
  table.write_field(0, "weg");
  table.delete_record(1);
  table.append_record();
  table.write_field(0, "\xC4rger");
  ASSERT_TRUE(table.close());
  Result r = qzkdbf("dump t.dbf");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "A\tB\na b\t1.50\nÄrger\t\n");
  r = qzkdbf("dump --encoding utf-8 t.dbf");
  EXPECT_EQ(r.out, "A\tB\na b\t1.50\n\xEF\xBF\xBDrger\t\n");
}

TEST_F(XBaseCommand, RefusedTablesAndBadArguments) {
  write_bytes(path("empty.dbf"), {});
  Result r = qzkdbf("info empty.dbf");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("empty.dbf is not a dBase table we can read: the file is empty"),
            std::string::npos)
      << r.err;
  r = qzkdbf("dump missing.dbf");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("cannot open missing.dbf"), std::string::npos) << r.err;
  r = qzkdbf("dump --encoding ebcdic empty.dbf");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("unknown encoding \"ebcdic\""), std::string::npos);
  r = qzkdbf("frobnicate");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("usage: qzkdbf info TABLE"), std::string::npos);
}

}  // namespace
