// Reading, writing, appending, deleting, finding and sorting records.
#include <strings.h>

#include <ctime>
#include <random>

#include "qzk/xbase.h"
#include "qzk/xbase_header.h"
#include "xbase_test_util.h"

using namespace xbase_test;

namespace {

class XBaseRecords : public InTempDir {
 protected:
  // A new table NAME C(12), NR N(5), with the given names appended.
  void make(const std::vector<std::string>& names) {
    ASSERT_TRUE(qzXBase::create(path("t.dbf").c_str(), {{"NAME", 'C', 12, 0}, {"NR", 'N', 5, 0}}));
    ASSERT_TRUE(table.open(path("t.dbf").c_str())) << table.error();
    for (size_t k = 0; k < names.size(); ++k) {
      ASSERT_EQ(table.append_record(), static_cast<int>(k));
      ASSERT_TRUE(table.write_field(0, "%s", names[k].c_str()));
      ASSERT_TRUE(table.write_field(1, "%zu", k));
    }
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (int i = 0; i < table.live_count(); ++i) out.push_back(table.read_field(i, 0));
    return out;
  }
  qzXBase table;
};

TEST_F(XBaseRecords, CreatedTableReadsBack) {
  make({"Anna", "Bernd"});
  ASSERT_TRUE(table.close());
  Bytes b = read_bytes(path("t.dbf"));
  ASSERT_EQ(b.size(), 32u + 64 + 1 + 2 * 18 + 1);
  EXPECT_EQ(b[4], 2);
  EXPECT_EQ(b.back(), 0x1A);
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  EXPECT_EQ(names(), (std::vector<std::string>{"Anna", "Bernd"}));
  EXPECT_EQ(table.read_field(1, 1), "1");
}

TEST_F(XBaseRecords, AllDeletedThenAppendReusesRecordZero) {
  make({"Anna", "Bernd", "Carl"});
  while (table.live_count() > 0) ASSERT_TRUE(table.delete_record(0));
  ASSERT_TRUE(table.close());
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  EXPECT_EQ(table.live_count(), 0);
  EXPECT_EQ(table.record_count(), 3);
  EXPECT_EQ(table.append_record(), 0);
  EXPECT_EQ(table.physical_record(0), 0);
  EXPECT_EQ(table.record_count(), 3);
  EXPECT_EQ(table.read_field(0, 0), "");  // the reused record is blank again
  ASSERT_TRUE(table.write_field(0, "Dora"));
  // The next one reuses physical record 1, then 2, then grows the table.
  EXPECT_EQ(table.append_record(), 1);
  EXPECT_EQ(table.append_record(), 2);
  EXPECT_EQ(table.append_record(), 3);
  EXPECT_EQ(table.record_count(), 4);
}

TEST_F(XBaseRecords, AppendFillsTheFirstGapAndReturnsItsLiveIndex) {
  make({"Anna", "Bernd", "Carl", "Dora"});
  ASSERT_TRUE(table.delete_record(2));  // Carl
  ASSERT_TRUE(table.delete_record(1));  // Bernd
  EXPECT_EQ(names(), (std::vector<std::string>{"Anna", "Dora"}));
  EXPECT_EQ(table.append_record(), 1);
  EXPECT_EQ(table.physical_record(1), 1);
  ASSERT_TRUE(table.write_field(0, "Emil"));
  EXPECT_EQ(names(), (std::vector<std::string>{"Anna", "Emil", "Dora"}));
}

TEST_F(XBaseRecords, BlankFieldIsEmptyAndShortFieldsKeepOneCharacter) {
  ASSERT_TRUE(qzXBase::create(path("t.dbf").c_str(), {{"A", 'C', 1, 0}, {"B", 'C', 4, 0}}));
  // A one-byte field gives a one-character string.
  Bytes b = read_bytes(path("t.dbf"));
  b.pop_back();
  std::string records = " x    *y ab ";
  b.insert(b.end(), records.begin(), records.end());
  b[4] = 2;
  write_bytes(path("t.dbf"), b);
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  ASSERT_EQ(table.live_count(), 1);
  EXPECT_EQ(table.read_field(0, 0), "x");
  EXPECT_EQ(table.read_field(0, 1), "");
  char small[3];
  ASSERT_TRUE(table.read_field(small, sizeof small, 0, 0));
  EXPECT_STREQ(small, "x");
  EXPECT_FALSE(table.read_field(small, 0, 0, 0));
  EXPECT_FALSE(table.read_field(small, sizeof small, 1, 0));
  EXPECT_STREQ(small, "");
}

TEST_F(XBaseRecords, WriteFieldCutsToTheFieldAndNeedsAnAppend) {
  ASSERT_TRUE(qzXBase::create(path("t.dbf").c_str(), {{"NAME", 'C', 6, 0}, {"X", 'C', 3, 0}}));
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  EXPECT_FALSE(table.write_field(0, "early"));  // no record appended yet
  ASSERT_EQ(table.append_record(), 0);
  ASSERT_TRUE(table.write_field(0, "%s-%d", "Schmidt", 7));
  ASSERT_TRUE(table.write_field(1, "ab"));
  EXPECT_FALSE(table.write_field(2, "x"));
  EXPECT_EQ(table.read_field(0, 0), "Schmid");
  EXPECT_EQ(table.read_field(0, 1), "ab");
  ASSERT_TRUE(table.write_field(1, "xyz"));  // a text as long as its field
  EXPECT_EQ(table.read_field(0, 1), "xyz");
  ASSERT_TRUE(table.write_field(0, "Li"));  // the rest keeps "hmid"
  EXPECT_EQ(table.read_field(0, 0), "Lihmid");
  ASSERT_TRUE(table.delete_record(0));
  EXPECT_FALSE(table.write_field(0, "gone"));
}

TEST_F(XBaseRecords, CloseAfterReadingRewritesTheHeaderUnchanged) {
  make({"Anna"});
  ASSERT_TRUE(table.close());
  Bytes before = read_bytes(path("t.dbf"));
  before[1] = 99, before[2] = 1, before[3] = 2;  // a date that a stamp would change
  write_bytes(path("t.dbf"), before);
  ASSERT_TRUE(table.open(path("t.dbf").c_str()));
  int found[2];
  EXPECT_EQ(table.find_exact(0, "anna", found, 2), 1);
  EXPECT_EQ(table.read_field(0, 0), "Anna");
  ASSERT_TRUE(table.close());
  EXPECT_EQ(read_bytes(path("t.dbf")), before);
}

TEST_F(XBaseRecords, ModifiedTableGetsCountAndDate) {
  make({"Anna", "Bernd"});
  ASSERT_TRUE(table.close());
  Bytes b = read_bytes(path("t.dbf"));
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(b[4], 2);
  EXPECT_EQ(b[1], local.tm_year + 1900 - 2000);  // the years from 2001 count from 2000
  EXPECT_EQ(b[2], local.tm_mon + 1);
  EXPECT_EQ(b[3], local.tm_mday);
}

TEST(XBaseDate, StampRule) {
  std::vector<uint8_t> header(32, 0);
  qzxbase_stamp_date(header, 1999, 12, 31);
  EXPECT_EQ(header[1], 99);
  qzxbase_stamp_date(header, 2000, 2, 29);
  EXPECT_EQ(header[1], 100);
  EXPECT_EQ(header[2], 2);
  EXPECT_EQ(header[3], 29);
  qzxbase_stamp_date(header, 2001, 1, 1);
  EXPECT_EQ(header[1], 1);
  qzxbase_stamp_date(header, 2026, 12, 8);
  EXPECT_EQ(header[1], 26);
}

TEST_F(XBaseRecords, FindExactAndPrefixNormalise) {
  make({"Müller", "MÜLLER", "müller", "Maier", "maierhofer", "", "[x]", "Mai"});
  int found[8];
  // A to Z fold, umlauts do not: "Müller" and "müller" match, "MÜLLER" not.
  EXPECT_EQ(table.find_exact(0, "MüLLER", found, 8), 2);
  EXPECT_EQ(found[0], 0);
  EXPECT_EQ(found[1], 2);
  EXPECT_EQ(table.find_exact(0, "mai", found, 8), 1);
  EXPECT_EQ(found[0], 7);
  EXPECT_EQ(table.find_prefix(0, "MAI", found, 8), 3);
  EXPECT_EQ(found[0], 3);
  EXPECT_EQ(found[1], 4);
  EXPECT_EQ(found[2], 7);
  EXPECT_EQ(table.find_prefix(0, "maierhofers", found, 8), 0);
  EXPECT_EQ(table.find_exact(0, "[X]", found, 8), 1);
  // An empty text matches the empty field only.
  EXPECT_EQ(table.find_exact(0, "", found, 8), 1);
  EXPECT_EQ(found[0], 5);
  EXPECT_EQ(table.find_prefix(0, "", found, 8), 1);
  EXPECT_EQ(table.find_exact(2, "x", found, 8), -1);
}

TEST_F(XBaseRecords, FindStoresAtMostCapacityMinusOne) {
  make({"a", "A", "a", "b", "a"});
  int found[3] = {-7, -7, -7};
  EXPECT_EQ(table.find_exact(0, "a", found, 3), 4);
  EXPECT_EQ(found[0], 0);
  EXPECT_EQ(found[1], 1);
  EXPECT_EQ(found[2], -7);
  EXPECT_EQ(table.find_exact(0, "a", nullptr, 0), 4);
  EXPECT_EQ(table.find_exact(0, "a", found, 1), 4);
  EXPECT_EQ(found[0], 0);
  // Deleted records are not found; indexes are live indexes.
  ASSERT_TRUE(table.delete_record(1));
  EXPECT_EQ(table.find_exact(0, "a", found, 3), 3);
  EXPECT_EQ(found[1], 1);  // the third physical record, now live index 1
}

// The bubble sort over the live records as described for this table:
// neighbours swapped while the first is greater, until a pass without swap.
std::vector<std::string> bubble_sorted(std::vector<std::string> rows, size_t key_length) {
  auto key = [&](const std::string& row) { return row.substr(0, key_length); };
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
      if (strcasecmp(key(rows[i]).c_str(), key(rows[i + 1]).c_str()) > 0) {
        std::swap(rows[i], rows[i + 1]);
        swapped = true;
      }
    }
  }
  return rows;
}

TEST_F(XBaseRecords, SortGivesTheBubbleSortOrder) {
  // Few distinct letters (many ties for stability), both cases, the signs
  // between "Z" and "a", and bytes above 0x7F.
  const std::string alphabet = "aAbB_[zZ\xE4\xC4 ";
  std::mt19937 random(42);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::string> rows;
    const int n = 1 + static_cast<int>(random() % 60);
    for (int k = 0; k < n; ++k) {
      std::string name;
      for (size_t len = random() % 4; len > 0; --len) name += alphabet[random() % alphabet.size()];
      while (!name.empty() && name.back() == ' ') name.pop_back();
      rows.push_back(name);
    }
    make(rows);
    // Deleted records stay in place and out of the order.
    std::vector<std::string> live;
    for (int i = table.live_count() - 1; i >= 0; --i)
      if (random() % 4 == 0) {
        ASSERT_TRUE(table.delete_record(i));
      }
    std::vector<int> deleted_places;
    for (int k = 0, i = 0; k < n; ++k) {
      if (table.physical_record(i) == k) {
        // The row is its name padded to the key length and its number.
        live.push_back(rows[k] + std::string(12 - rows[k].size(), '\0') + std::to_string(k));
        ++i;
      } else {
        deleted_places.push_back(k);
      }
    }
    ASSERT_TRUE(table.sort(0));
    std::vector<std::string> want = bubble_sorted(live, 12);
    ASSERT_EQ(table.live_count(), static_cast<int>(want.size()));
    for (int i = 0; i < table.live_count(); ++i) {
      std::string row = table.read_field(i, 0);
      row += std::string(12 - row.size(), '\0') + table.read_field(i, 1);
      ASSERT_EQ(row, want[i]) << "round " << round << " live record " << i;
    }
    ASSERT_TRUE(table.close());
    ASSERT_TRUE(table.open(path("t.dbf").c_str()));
    EXPECT_EQ(table.live_count(), static_cast<int>(want.size()));
    for (int i = 0, d = 0; i < table.live_count(); ++i) {
      while (d < static_cast<int>(deleted_places.size()) && deleted_places[d] <= i + d) ++d;
      EXPECT_EQ(table.physical_record(i), i + d);
    }
    ASSERT_TRUE(table.close());
  }
}

TEST_F(XBaseRecords, SortMarksModifiedAndRefusesBadField) {
  make({"b", "a"});
  EXPECT_FALSE(table.sort(5));
  ASSERT_TRUE(table.sort(0));
  EXPECT_TRUE(table.is_modified());
  EXPECT_EQ(names(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(table.read_field(0, 1), "1");
  EXPECT_FALSE(table.write_field(0, "moved"));  // the appended record moved
}

TEST_F(XBaseRecords, CreateRefusesUnfitFields) {
  EXPECT_FALSE(qzXBase::create(path("a.dbf").c_str(), {}));
  EXPECT_FALSE(qzXBase::create(path("a.dbf").c_str(), {{"ELEVENBYTES", 'C', 3, 0}}));
  EXPECT_FALSE(qzXBase::create(path("a.dbf").c_str(), {{"N", 'N', 300, 0}}));
  EXPECT_FALSE(qzXBase::create(path("a.dbf").c_str(), {{"N", 'N', 4, 4}}));
  EXPECT_FALSE(qzXBase::create(path("a.dbf").c_str(), {{"C", 'C', 0, 0}}));
  EXPECT_EQ(read_bytes(path("a.dbf")).size(), 0u);  // nothing was written
  EXPECT_TRUE(qzXBase::create(path("a.dbf").c_str(), {{"C", 'C', 1000, 0}}));
}

}  // namespace

namespace {

TEST_F(XBaseRecords, SortWithoutLiveRecordsChangesNothing) {
  make({"a", "b"});
  ASSERT_TRUE(table.delete_record(0));
  ASSERT_TRUE(table.delete_record(0));
  ASSERT_TRUE(table.sort(0));
  EXPECT_EQ(table.live_count(), 0);
  ASSERT_TRUE(table.close());
  qzXBase empty;
  ASSERT_TRUE(qzXBase::create(path("e.dbf").c_str(), {{"A", 'C', 3, 0}}));
  ASSERT_TRUE(empty.open(path("e.dbf").c_str()));
  EXPECT_TRUE(empty.sort(0));
}

// Inputs the fuzz target once crashed on, run through its sequence again.
TEST_F(XBaseRecords, KeptFuzzCases) {
  const std::string kept = std::string(TEST_DATA_DIR) + "/dbf/fuzz/";
  for (const char* name : {"sort-no-live-records.dbf"}) {
    SCOPED_TRACE(name);
    write_bytes(path("f.dbf"), read_bytes(kept + name));
    ASSERT_FALSE(read_bytes(path("f.dbf")).empty());
    if (!table.open(path("f.dbf").c_str())) continue;
    for (int i = 0; i < table.live_count(); ++i) table.read_field(i, 0);
    table.sort(0);
    if (table.append_record() >= 0) table.write_field(0, "x");
    table.sort(0);
    if (table.live_count() > 0) table.delete_record(0);
    EXPECT_TRUE(table.close());
  }
}

}  // namespace
