// The working files' reader and writer: layouts byte for byte, whole-file
// writes, missing and short files.
#include "analyses/workfiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/testing.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// A fresh folder as the current directory for one test.
class WorkFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "workfilesXXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  fs::path dir_, old_;
};

TEST(WorkFileLayout, LineCountsFollowTheBodyIndex) {
  EXPECT_EQ(LineCount(kDatPlanet, 9), 10u);
  EXPECT_EQ(LineCount(kDatPlanet, 10), 11u);
  EXPECT_EQ(LineCount(kDatH, 9), 100u);
  EXPECT_EQ(LineCount(kDatH, 10), 121u);
  EXPECT_EQ(LineCount(kDathContinuum, 9), 45u);
  EXPECT_EQ(LineCount(kDathContinuum, 10), 55u);
  EXPECT_EQ(LineCount(kSignificanceH, 10), 132u);
  EXPECT_EQ(LineCount(kStartEndYear, 10), 6u);
  EXPECT_EQ(LineCount(kJulianDat, 10, 37), 37u);
}

TEST(WorkFileLayout, MatrixValuesAreRowMajorAndTheTriangleSkipsTheDiagonal) {
  double m[14][14] = {};
  for (int l = 0; l < 14; ++l)
    for (int g = 0; g < 14; ++g) m[l][g] = 100 * l + g;
  const std::vector<double> full = FullMatrixValues(m, 2);
  EXPECT_EQ(full, (std::vector<double>{0, 1, 2, 100, 101, 102, 200, 201, 202}));
  const std::vector<double> upper = UpperTriangleValues(m, 3);
  EXPECT_EQ(upper, (std::vector<double>{1, 2, 3, 102, 103, 203}));
  EXPECT_EQ(UpperTriangleValues(m, 10).size(), LineCount(kDathContinuum, 10));
  double back[14][14] = {};
  FillFullMatrix(full, 2, back);
  EXPECT_EQ(back[1][2], 102);
  EXPECT_EQ(back[2][0], 200);
}

TEST_F(WorkFolder, RealsAndIntegersAreWrittenOnePerLineWithLineFeeds) {
  const std::vector<double> w = {57.2, 10.24, 0.01, -0.5, 0.0};
  ASSERT_TRUE(WriteValues(kDatPlanet, w));
  EXPECT_EQ(Bytes("datplanet.txt"), "57.200000\n10.240000\n0.010000\n-0.500000\n0.000000\n");
  const std::array<int, 2> dat = {10, 1000};
  ASSERT_TRUE(WriteValues(kDatDat, dat));
  EXPECT_EQ(Bytes("datdat.txt"), "10\n1000\n");
  // Reals into an integer file are truncated toward zero.
  const std::vector<double> shifts = {-3.9};
  ASSERT_TRUE(WriteValues(kDatTimeShiftH, shifts));
  EXPECT_EQ(Bytes("dattimeshifth.txt"), "-3\n");
  ASSERT_TRUE(WriteLines(kName, {"Anna Muster"}));
  EXPECT_EQ(Bytes("name.txt"), "Anna Muster\n");
}

TEST_F(WorkFolder, ValuesReadBackAsWritten) {
  const std::vector<double> w = {57.2, 10.24, 0.31, 0.77, 0.3, 1.87, 0.84, 0.28, 0.22, 0.01, 57.2};
  ASSERT_TRUE(WriteValues(kDatPlanet, w));
  const MissingFileNotice notice{0.0};
  auto back = ReadReals(kDatPlanet, w.size(), notice);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, w) << "six decimals hold every weight exactly enough to print it again";
  Put("datord.txt", "7.9\n");
  Put("selfkorr.txt", "-1.5\r\n");
  EXPECT_EQ(ReadIntegers(kDatOrd, 1, notice)->at(0), 7);
  EXPECT_EQ(ReadIntegers(kSelfKorr, 1, notice)->at(0), -1);
  Put("Current_Lastname.txt", "M\xC3\xBCller\r\nSchmidt\n");
  auto names = ReadLines(kCurrentLastname, 2, notice);
  ASSERT_TRUE(names);
  EXPECT_EQ((*names)[0], "M\xC3\xBCller");
  EXPECT_EQ((*names)[1], "Schmidt");
}

TEST_F(WorkFolder, SubfoldersAreMadeAndNoTemporaryFileStays) {
  const std::vector<double> jd = {2415020.5, 2451545.0};
  ASSERT_TRUE(WriteValues(kCompareJulianDates, jd));
  EXPECT_EQ(Bytes("Optimierung-COMPARE/bjuliandat.txt"), "2415020.500000\n2451545.000000\n");
  for (const auto& e : fs::directory_iterator("Optimierung-COMPARE"))
    EXPECT_EQ(e.path().filename(), "bjuliandat.txt");
}

TEST_F(WorkFolder, AFailedWriteLeavesNoPartOfTheNewFile) {
  // A folder in the file's place: the rename cannot replace it.
  fs::create_directory("datord.txt");
  fs::create_directory("datord.txt/inside");
  const std::array<int, 1> order = {3};
  EXPECT_FALSE(WriteValues(kDatOrd, order));
  EXPECT_TRUE(fs::is_directory("datord.txt/inside"));
  EXPECT_FALSE(fs::exists("datord.txt.tmp"));
  // A file in place of a subfolder: nothing can be written below it.
  Put("Optimierung-COMPARE", "not a folder");
  const std::array<int, 1> g = {2};
  EXPECT_FALSE(WriteValues(kCompareGroupSize, g));
  EXPECT_EQ(Bytes("Optimierung-COMPARE"), "not a folder");
}

TEST_F(WorkFolder, ADamagedCountIsRefusedBeforeAnyAllocation) {
  Put("juliandat.txt", "2451545.000000\n");
  EXPECT_FALSE(ReadReals(kJulianDat, kMaxWorkFileLines + 1, MissingFileNotice{0.0}));
  EXPECT_EQ(ReadReals(kJulianDat, 2, MissingFileNotice{0.0})->size(), 2u);
}

TEST(WorkFileMessages, MissingFilesUseTheModulesSpelling) {
  EXPECT_EQ(MissingFileMessage(kDatDat, MissingFileNotice{2.0}, ENOENT),
            "\n datdat.txt not exist or not closed : " + std::to_string(ENOENT) + "  ");
  EXPECT_EQ(MissingFileMessage(kDatOrd, MissingFileNotice{12.0, MissingTail::Plain}, ENOENT),
            "\n datord.txt not exist or not closed : ");
  EXPECT_EQ(MissingFileMessage(kMatrixSumContinuum,
                               MissingFileNotice{12.0, MissingTail::StartNew}, ENOENT),
            "\n matrixsumcontinuum.txt not exist or not closed : start new ");
  EXPECT_EQ(MissingFileMessage(kZshContinuum,
                               MissingFileNotice{12.0, MissingTail::Plain, kZshContinuumShown}, 0),
            "\n zshcontimuum.txt not exist or not closed : ");
  EXPECT_EQ(MissingFileMessage(kSelfKorr,
                               MissingFileNotice{12.0, MissingTail::Plain, kSelfKorrShown}, 0),
            "\n dselfkorr.txt not exist or not closed : ");
  EXPECT_EQ(MissingFileMessage(kDatTimeShiftH,
                               MissingFileNotice{2.0, MissingTail::WithCode, kDatTimeShiftHShown}, 2),
            "\n dattimedhift.txt not exist or not closed : 2  ");
}

// Reads a missing and a short file from inside a module, as the modules do.
std::optional<std::vector<double>> missingRead, shortRead;
void ReadingModule() {
  missingRead = ReadReals(kMatrixSumEvent, 4, MissingFileNotice{2.0});
  if (!missingRead) {
    shortRead = ReadReals(kDatPlanet, 11, MissingFileNotice{2.0});
    return;  // the module ends here; the program goes on
  }
}

TEST(WorkFileReading, AMissingFileEndsTheModuleAndAShortOneIsReadWithAWarning) {
  WorkbenchSession s({{"4- Matrix Probability", ReadingModule}});
  Put("datplanet.txt", "57.200000\n10.240000\n0.310000\n");
  ASSERT_TRUE(s.Run("4- Matrix Probability")) << s.Error();
  EXPECT_FALSE(missingRead);
  ASSERT_TRUE(shortRead);
  EXPECT_EQ(*shortRead, (std::vector<double>{57.2, 10.24, 0.31, 0, 0, 0, 0, 0, 0, 0, 0}));
  const std::string page = s.Text(0);
  EXPECT_NE(page.find(" matrixsumevent.txt not exist or not closed : " + std::to_string(ENOENT)),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("WARNING: datplanet.txt holds 3 of 11 lines"), std::string::npos) << page;
  EXPECT_EQ(page.find("WARNING: matrixsumevent.txt"), std::string::npos);
  // Still there: the menu runs the next module.
  ASSERT_TRUE(s.Run("4- Matrix Probability")) << s.Error();
}

}  // namespace
