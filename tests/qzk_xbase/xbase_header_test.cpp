// Refusing what is not a readable table, and reading what real writers put
// into the descriptors.
#include <sys/stat.h>

#include <random>

#include "qzk/xbase.h"
#include "qzk/xbase_header.h"
#include "xbase_test_util.h"

using namespace xbase_test;

namespace {

// Two records of NAME C(5), CITY C(3): record length 9.
Bytes two_records() {
  return table_bytes({{"NAME", 'C', 5, 0}, {"CITY", 'C', 3, 0}}, 2, 9,
                     " Anna Ulm*Bernd Rom\x1A");
}

class XBaseRefusal : public InTempDir {
 protected:
  // Opens bytes that must be refused; the file must be left as it was.
  void expect_refused(const Bytes& bytes, const std::string& reason_part) {
    write_bytes(path("t.dbf"), bytes);
    qzXBase table;
    EXPECT_FALSE(table.open(path("t.dbf").c_str()));
    EXPECT_FALSE(table.is_open());
    EXPECT_NE(table.error().find(reason_part), std::string::npos) << table.error();
    EXPECT_EQ(table.live_count(), 0);
    EXPECT_EQ(table.append_record(), -1);
    EXPECT_FALSE(table.delete_record(0));
    EXPECT_FALSE(table.sort(0));
    EXPECT_EQ(table.find_exact(0, "", nullptr, 0), -1);
    EXPECT_TRUE(table.close());
    EXPECT_EQ(read_bytes(path("t.dbf")), bytes);
  }
};

TEST_F(XBaseRefusal, EmptyAndShortFiles) {
  expect_refused({}, "empty");
  Bytes b = two_records();
  b.resize(31);
  expect_refused(b, "too short");
}

TEST_F(XBaseRefusal, HeaderLengthBelowMinimumOrPastEnd) {
  Bytes b = two_records();
  b[8] = 32, b[9] = 0;
  expect_refused(b, "below 33");
  b = two_records();
  b[8] = 0xFF, b[9] = 0x7F;
  expect_refused(b, "past the end");
}

TEST_F(XBaseRefusal, RecordLengthBelowFieldsAndNoFields) {
  Bytes b = two_records();
  b[10] = 8;  // one short of flag + 5 + 3
  expect_refused(b, "record length 8");
  expect_refused(table_bytes({}, 0, 1, ""), "no field");
}

TEST_F(XBaseRefusal, DBase7Headers) {
  // Its 48-byte descriptors from offset 68 are no fields of ours.
  Bytes b = two_records();
  b[0] = 0x04;
  expect_refused(b, "dBase 7");
  b[0] = 0x8C;
  expect_refused(b, "dBase 7");
  for (uint8_t version : {0x03, 0x83, 0x8B, 0x30, 0xF5}) {  // dBase III/IV, FoxPro: read
    b[0] = version;
    write_bytes(path("t.dbf"), b);
    qzXBase table;
    EXPECT_TRUE(table.open(path("t.dbf").c_str(), true)) << int{version} << " " << table.error();
  }
}

TEST_F(XBaseRefusal, FieldLengthsLargerThanTheRecord) {
  // 0xFFFF from a C field's two length bytes must not wrap the sum.
  expect_refused(table_bytes({{"A", 'C', 0xFF, 0xFF}, {"B", 'C', 0xFF, 0xFF}}, 1, 60000, ""),
                 "record length 60000");
}

TEST_F(XBaseRefusal, MissingFileAndNullPath) {
  qzXBase table;
  EXPECT_FALSE(table.open(path("none.dbf").c_str()));
  EXPECT_NE(table.error().find("cannot open"), std::string::npos);
  EXPECT_FALSE(table.open(nullptr));
}

// Random bytes: refused or read within bounds, never past the file.
TEST_F(XBaseRefusal, RandomBytesNeverCrash) {
  std::mt19937 random(6);
  for (int round = 0; round < 300; ++round) {
    Bytes b(random() % 700);
    for (auto& x : b) x = static_cast<uint8_t>(random());
    if (round % 2 && b.size() > 12) b[8] = static_cast<uint8_t>(33 + random() % 64), b[9] = 0;
    write_bytes(path("r.dbf"), b);
    qzXBase table;
    if (table.open(path("r.dbf").c_str(), true)) {
      for (int i = 0; i < table.live_count(); ++i)
        for (int f = 0; f < table.field_count(); ++f) table.read_field(i, f);
      table.find_prefix(0, "a", nullptr, 0);
    }
  }
}

TEST_F(XBaseRefusal, ParseReportsTheWholeRecords) {
  Bytes b = two_records();
  qzXBaseLayout layout;
  std::string why;
  ASSERT_TRUE(qzxbase_parse_header(b, b.size(), layout, why)) << why;
  EXPECT_EQ(layout.header_length, 97);
  EXPECT_EQ(layout.record_length, 9);
  EXPECT_EQ(layout.whole_count, 2u);
  ASSERT_EQ(layout.fields.size(), 2u);
  EXPECT_EQ(layout.fields[1].offset, 6);
  // A count far beyond the file is cut to what is there.
  b[4] = 0xFF, b[5] = 0xFF, b[6] = 0xFF, b[7] = 0xFF;
  ASSERT_TRUE(qzxbase_parse_header(b, b.size(), layout, why));
  EXPECT_EQ(layout.stored_count, 0xFFFFFFFFu);
  EXPECT_EQ(layout.whole_count, 2u);
}

using XBaseHeader = InTempDir;

TEST_F(XBaseHeader, TruncatedLastRecordOpensWithTheWholeOnes) {
  Bytes b = two_records();
  b.resize(b.size() - 4);  // end of file mark and 3 bytes of record 2 gone
  write_bytes(path("t.dbf"), b);
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  EXPECT_EQ(table.record_count(), 1);
  EXPECT_EQ(table.live_count(), 1);
  EXPECT_EQ(table.read_field(0, 0), "Anna");
  EXPECT_EQ(table.read_field(1, 0), "");
  ASSERT_TRUE(table.close());
  // Only read: the header goes back as it was, record count included.
  EXPECT_EQ(read_bytes(path("t.dbf")), b);
}

TEST_F(XBaseHeader, AppendToTruncatedTableReplacesThePartialRecord) {
  Bytes b = two_records();
  b.resize(b.size() - 4);
  write_bytes(path("t.dbf"), b);
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  ASSERT_EQ(table.append_record(), 1);
  ASSERT_TRUE(table.write_field(0, "Carl"));
  ASSERT_TRUE(table.close());
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  EXPECT_EQ(table.record_count(), 2);
  EXPECT_EQ(table.read_field(1, 0), "Carl");
  EXPECT_EQ(table.read_field(1, 1), "");
}

TEST_F(XBaseHeader, DescriptorByte17IsHighByteOnlyForCharacterFields) {
  // N(7,2) as LibreOffice and GDAL write it, and a Clipper C(300).
  std::string record = " " + std::string("  12.50") + std::string(299, 'x') + "y";
  write_bytes(path("t.dbf"),
              table_bytes({{"BETRAG", 'N', 7, 2}, {"NOTIZ", 'C', 300 & 0xFF, 300 >> 8}}, 1,
                          308, record));
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str())) << table.error();
  EXPECT_EQ(table.field_length(0), 7);
  EXPECT_EQ(table.field_decimals(0), 2);
  EXPECT_EQ(table.field_type(0), 'N');
  EXPECT_EQ(table.field_length(1), 300);
  EXPECT_EQ(table.field_decimals(1), 0);
  EXPECT_EQ(table.read_field(0, 0), "  12.50");
  EXPECT_EQ(table.read_field(0, 1), std::string(299, 'x') + "y");
}

TEST_F(XBaseHeader, DescriptorsEndAtTheTerminator) {
  // Visual FoxPro keeps 263 bytes after the terminator inside the header.
  write_bytes(path("t.dbf"), table_bytes({{"NAME", 'C', 4, 0}}, 1, 5, " Emil", 263));
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str())) << table.error();
  EXPECT_EQ(table.header_length(), 32 + 32 + 1 + 263);
  EXPECT_EQ(table.field_count(), 1);
  EXPECT_EQ(table.read_field(0, 0), "Emil");
}

TEST_F(XBaseHeader, NameAccessorsAndFieldIndex) {
  write_bytes(path("t.dbf"), two_records());
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  EXPECT_EQ(table.field_index("city"), 1);
  EXPECT_EQ(table.field_index("Name"), 0);
  EXPECT_EQ(table.field_index("NAM"), -1);
  EXPECT_EQ(table.field_index(nullptr), -1);
  EXPECT_STREQ(table.field_name(1), "CITY");
  EXPECT_STREQ(table.field_name(2), "");
  EXPECT_EQ(table.field_length(-1), 0);
  EXPECT_EQ(table.field_type(7), '\0');
  EXPECT_EQ(table.language_byte(), 0x03);
}

TEST_F(XBaseHeader, ReadOnlyFileOpensForReadingAndRefusesWrites) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: file permissions do not bind";
  Bytes b = two_records();
  write_bytes(path("t.dbf"), b);
  ASSERT_EQ(chmod(path("t.dbf").c_str(), 0444), 0);
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  EXPECT_TRUE(table.is_read_only());
  EXPECT_EQ(table.append_record(), -1);
  EXPECT_TRUE(table.close());
  EXPECT_EQ(read_bytes(path("t.dbf")), b);
}

TEST_F(XBaseHeader, OpenForReadingOnlyNeverWrites) {
  Bytes b = two_records();
  write_bytes(path("t.dbf"), b);
  qzXBase table;
  ASSERT_TRUE(table.open(path("t.dbf").c_str(), true));
  EXPECT_EQ(table.append_record(), -1);
  EXPECT_FALSE(table.delete_record(0));
  EXPECT_NE(table.error().find("reading only"), std::string::npos);
  EXPECT_FALSE(table.sort(0));
  EXPECT_TRUE(table.close());
  EXPECT_EQ(read_bytes(path("t.dbf")), b);
}

}  // namespace
