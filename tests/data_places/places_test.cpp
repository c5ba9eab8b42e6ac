// The places database: writing and reading the table, the look-up's
// matching and order, the rebuild from the master copy, and the real
// master copy read by python's dbfread to the same records.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "data/places.h"
#include "places_test_util.h"
#include "qzk/gzip_file.h"
#include "qzk/xbase.h"

using namespace places_test;

namespace {

Place MakePlace(const char* name, const char* ascii, const char* country, int64_t population,
                const char* alternates = "") {
  Place p;
  p.name = name;
  p.asciiName = ascii;
  p.alternateNames = alternates;
  p.country = country;
  p.region = "Region";
  p.latitude = 47.36667;
  p.longitude = -8.55;
  p.zone = "Europe/Zurich";
  p.population = population;
  return p;
}

std::vector<Place> Sample() {
  return {MakePlace("Frankfurt (Oder)", "Frankfurt (Oder)", "DE", 57015),
          MakePlace("Z\xc3\xbcrich", "Zurich", "CH", 341730, "Zurigo,Turicum"),
          MakePlace("Zurich", "Zurich", "US", 1200),
          MakePlace("Frankfurt am Main", "Frankfurt am Main", "DE", 650000),
          MakePlace("M\xc4\x81legaon", "Malegaon", "IN", 435362),
          MakePlace("Male", "Male", "MV", 103693),
          MakePlace("M\xc3\xbcnchen", "Munchen", "DE", 1260391),
          MakePlace("Frankfort", "Frankfort", "US", 27830)};
}

std::vector<std::string> Names(const std::vector<const Place*>& found) {
  std::vector<std::string> names;
  for (const Place* p : found) names.push_back(p->name + "/" + p->country);
  return names;
}

bool Exists(const std::string& path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0;
}

using PlacesTable = InTempDir;

TEST_F(PlacesTable, WrittenAndReadBack) {
  std::string error;
  ASSERT_TRUE(WritePlacesTable("p.dbf", Sample(), error)) << error;
  EXPECT_EQ(Bytes("p.cpg"), "UTF-8\n");
  qzXBase table;
  ASSERT_TRUE(table.open("p.dbf", true));
  EXPECT_EQ(table.live_count(), 8);
  ASSERT_EQ(table.field_count(), kPlaceFieldCount);
  EXPECT_EQ(table.field_type(kPlaceLatitude), 'N');
  EXPECT_EQ(table.read_field(1, kPlaceName), "Z\xc3\xbcrich");
  EXPECT_EQ(table.read_field(1, kPlaceLatitude), " 47.36667") << "numbers stand right";
  EXPECT_EQ(table.read_field(1, kPlaceLongitude), "  -8.55000");

  PlaceIndex index;
  ASSERT_TRUE(index.Load("p.dbf", error)) << error;
  ASSERT_EQ(index.size(), 8u);
  const auto found = index.Find("zurich", 1);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->name, "Z\xc3\xbcrich");
  EXPECT_DOUBLE_EQ(found[0]->longitude, -8.55);
  EXPECT_EQ(found[0]->population, 341730);
  EXPECT_EQ(found[0]->alternateNames, "Zurigo,Turicum");
}

TEST_F(PlacesTable, UnfitPlacesLeaveNoTable) {
  std::vector<Place> places = Sample();
  places[3].name = std::string(71, 'x');
  std::string error;
  EXPECT_FALSE(WritePlacesTable("p.dbf", places, error));
  EXPECT_NE(error.find("longer than field NAME"), std::string::npos) << error;
  places = Sample();
  places[2].latitude = 91;
  EXPECT_FALSE(WritePlacesTable("p.dbf", places, error));
  EXPECT_FALSE(Exists("p.dbf"));
}

TEST_F(PlacesTable, LookUpIgnoresCaseAndAccentsEitherWay) {
  std::string error;
  ASSERT_TRUE(WritePlacesTable("p.dbf", Sample(), error)) << error;
  PlaceIndex index;
  ASSERT_TRUE(index.Load("p.dbf", error)) << error;
  using V = std::vector<std::string>;
  EXPECT_EQ(Names(index.Find("Zurich", 5)), (V{"Z\xc3\xbcrich/CH", "Zurich/US"})) << "larger first";
  EXPECT_EQ(Names(index.Find("Z\xc3\x9cRICH", 5)), (V{"Z\xc3\xbcrich/CH", "Zurich/US"}));
  EXPECT_EQ(Names(index.Find("zuerich", 5)), (V{"Z\xc3\xbcrich/CH"})) << "the German umlaut spelling";
  EXPECT_EQ(Names(index.Find("Muenchen", 5)), (V{"M\xc3\xbcnchen/DE"}));
  EXPECT_EQ(Names(index.Find("zurig", 5)), (V{"Z\xc3\xbcrich/CH"})) << "an alternate spelling";
  EXPECT_EQ(Names(index.Find("Frankfurt", 5)), (V{"Frankfurt am Main/DE", "Frankfurt (Oder)/DE"}));
  EXPECT_EQ(Names(index.Find("frankfurt oder", 5)), (V{"Frankfurt (Oder)/DE"}));
  EXPECT_EQ(Names(index.Find("Frank", 2)), (V{"Frankfurt am Main/DE", "Frankfurt (Oder)/DE"})) << "cut at max";
  EXPECT_EQ(Names(index.Find("Zurich, us", 5)), (V{"Zurich/US"})) << "a country code after a comma";
  EXPECT_TRUE(index.Find("Zurich, FR", 5).empty());
  EXPECT_TRUE(index.Find("", 5).empty());
  EXPECT_TRUE(index.Find("-", 5).empty());
  EXPECT_TRUE(index.Find("Xanadu", 5).empty());
}

TEST_F(PlacesTable, WholeNamesComeBeforeLongerOnes) {
  std::string error;
  ASSERT_TRUE(WritePlacesTable("p.dbf", Sample(), error)) << error;
  PlaceIndex index;
  ASSERT_TRUE(index.Load("p.dbf", error)) << error;
  // Malegaon is larger, but Male is the place of that whole name.
  EXPECT_EQ(Names(index.Find("Male", 5)), (std::vector<std::string>{"Male/MV", "M\xc4\x81legaon/IN"}));
}

TEST_F(PlacesTable, MissingTableIsRebuiltFromTheMasterBesideIt) {
  std::string error;
  ASSERT_TRUE(WritePlacesTable("places.dbf", Sample(), error)) << error;
  const std::string original = Bytes("places.dbf");
  ASSERT_TRUE(qzgzip_file("places.dbf", "places.dbf.gz", error)) << error;
  std::remove("places.dbf");
  std::remove("places.cpg");
  std::string message;
  ASSERT_TRUE(EnsurePlacesTable("places.dbf", message)) << message;
  EXPECT_EQ(message, "places.dbf was missing: rebuilt from places.dbf.gz");
  EXPECT_EQ(Bytes("places.dbf"), original);
  EXPECT_EQ(Bytes("places.cpg"), "UTF-8\n");
  ASSERT_TRUE(EnsurePlacesTable("places.dbf", message));
  EXPECT_EQ(message, "") << "a table that is there is left alone";

  // Through the working folder's index as the program uses it.
  std::remove("places.dbf");
  std::string rebuilt;
  const PlaceIndex* index = WorkingPlaces(error, &rebuilt);
  ASSERT_NE(index, nullptr) << error;
  EXPECT_EQ(rebuilt, "places.dbf was missing: rebuilt from places.dbf.gz");
  EXPECT_EQ(index->size(), 8u);
}

TEST_F(PlacesTable, DamagedMasterLeavesNoTable) {
  std::string error;
  ASSERT_TRUE(WritePlacesTable("t.dbf", Sample(), error)) << error;
  ASSERT_TRUE(qzgzip_file("t.dbf", "whole.gz", error)) << error;
  const std::string packed = Bytes("whole.gz");
  const std::vector<std::string> beside = {"places.dbf.gz"};
  for (const std::string& bad : {packed.substr(0, packed.size() / 2), std::string("not gzip at all"),
                                 packed.substr(0, packed.size() - 4) + "XXXX"}) {
    std::ofstream("places.dbf.gz", std::ios::binary) << bad;
    std::string message;
    EXPECT_FALSE(EnsurePlacesTable("places.dbf", message, &beside));
    EXPECT_NE(message.find("places.dbf.gz: "), std::string::npos) << message;
    EXPECT_FALSE(Exists("places.dbf"));
    EXPECT_FALSE(Exists("places.dbf.unpacked"));
  }
  std::string message;
  const std::vector<std::string> none;
  EXPECT_FALSE(EnsurePlacesTable("places.dbf", message, &none));
  EXPECT_NE(message.find("is missing and no sound master copy"), std::string::npos) << message;
  // A damaged copy beside the table, then the program's own one.
  ASSERT_TRUE(EnsurePlacesTable("places.dbf", message)) << message;
  EXPECT_NE(message.find("rebuilt from " + std::string(SOURCE_DIR) + "/assets/places.dbf.gz"), std::string::npos)
      << message;
}

TEST(RealPlaces, TheMasterCopyHoldsTheWorldsPlaces) {
  const std::string& dir = RealPlacesDir();
  ASSERT_FALSE(dir.empty()) << "assets/places.dbf.gz could not be unpacked";
  PlaceIndex index;
  std::string error;
  ASSERT_TRUE(index.Load(dir + "/places.dbf", error)) << error;
  EXPECT_EQ(index.size(), 141049u);
  const auto zurich = index.Find("Zurich", 3);
  ASSERT_FALSE(zurich.empty());
  EXPECT_EQ(zurich[0]->name, "Z\xc3\xbcrich");
  EXPECT_EQ(zurich[0]->country, "CH");
  EXPECT_EQ(zurich[0]->zone, "Europe/Zurich");
  EXPECT_NEAR(zurich[0]->latitude, 47.37, 0.01);
  EXPECT_NEAR(zurich[0]->longitude, 8.55, 0.01);
  const auto frankfurt = index.Find("Frankfurt", 2);
  ASSERT_EQ(frankfurt.size(), 2u);
  EXPECT_EQ(frankfurt[0]->name, "Frankfurt am Main");
  EXPECT_EQ(frankfurt[1]->name, "Frankfurt (Oder)");
  EXPECT_GT(frankfurt[0]->population, frankfurt[1]->population);
  const auto kolkata = index.Find("Kolkata", 1);
  ASSERT_EQ(kolkata.size(), 1u);
  EXPECT_EQ(kolkata[0]->zone, "Asia/Kolkata");
  EXPECT_EQ(index.Find("Muenchen", 1).size(), 1u);
}

// python's dbfread reads every record of the real table to the same values
// as our reader (compared as text, the numbers to their stored decimals).
TEST(RealPlaces, DbfreadReadsTheSameRecords) {
  const std::string& dir = RealPlacesDir();
  ASSERT_FALSE(dir.empty());
  const std::string script = std::string(SOURCE_DIR) + "/tests/data_places/dbfread_places.py";
  const std::string command = "/usr/bin/python3 '" + script + "' '" + dir + "/places.dbf' > '" + dir +
                              "/dbfread.tsv' 2> '" + dir + "/dbfread.err'";
  const int status = std::system(command.c_str());
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code == 3 || code == 127) GTEST_SKIP() << "python3-dbfread is not installed";
  ASSERT_EQ(code, 0) << Bytes(dir + "/dbfread.err");

  qzXBase table;
  ASSERT_TRUE(table.open((dir + "/places.dbf").c_str(), true));
  std::ostringstream ours;
  table.scan([&](int, const uint8_t* record) {
    for (int f = 0; f < table.field_count(); ++f) {
      std::string_view text = table.field_text(record, f);
      while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
      ours << (f ? "\t" : "") << text;
    }
    ours << "\n";
    return true;
  });
  const std::string theirs = Bytes(dir + "/dbfread.tsv"), mine = ours.str();
  EXPECT_EQ(std::count(theirs.begin(), theirs.end(), '\n'), 141049);
  EXPECT_TRUE(mine == theirs) << "the texts differ from byte "
                              << std::mismatch(theirs.begin(), theirs.end(), mine.begin(), mine.end()).first -
                                     theirs.begin();
}

}  // namespace
