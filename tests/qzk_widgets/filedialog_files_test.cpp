// The file dialog's filters, folder listing and path handling.
#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>

#include "qzk/filedialog_files.h"

namespace fs = std::filesystem;

TEST(FileDialogFiles, FiltersWithDescriptionsAndSeveralPatterns) {
  qzFileFilter f = qzfiledialog_parse_filter("*.txt; *.lst|Text lists");
  ASSERT_EQ(f.patterns.size(), 2u);
  EXPECT_EQ(f.patterns[1], "*.lst");
  EXPECT_EQ(f.description, "Text lists");
  EXPECT_TRUE(qzfiledialog_matches(f, "GROUP.LST"));
  EXPECT_FALSE(qzfiledialog_matches(f, "group.lst.bak"));
  EXPECT_EQ(qzfiledialog_parse_filter("*.dbf").description, "*.dbf");
  EXPECT_TRUE(qzfiledialog_matches(qzfiledialog_parse_filter(""), "anything"));
  EXPECT_TRUE(qzfiledialog_match("a?c*", "abcdef"));
  EXPECT_FALSE(qzfiledialog_match("a?c", "ac"));
  EXPECT_TRUE(qzfiledialog_match("*.*", "Makefile"));
}

TEST(FileDialogFiles, ListsFoldersFirstThenMatchingFiles) {
  fs::path dir = fs::path(testing::TempDir()) / "fd_list";
  fs::remove_all(dir);
  fs::create_directories(dir / "sub");
  for (const char* n : {"b.txt", "a.TXT", "c.bmp"}) std::ofstream(dir / n) << "x";
  auto list = qzfiledialog_list(dir.string(), qzfiledialog_parse_filter("*.txt"));
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].name, "..");
  EXPECT_EQ(list[1].name, "sub");
  EXPECT_TRUE(list[1].folder);
  EXPECT_EQ(list[2].name, "a.TXT");
  EXPECT_EQ(list[3].name, "b.txt");
  EXPECT_EQ(qzfiledialog_list((dir / "missing").string(), {}).size(), 1u);
  fs::remove_all(dir);
}

TEST(FileDialogFiles, PathsUseSlashesAndResolveDetours) {
  EXPECT_EQ(qzfiledialog_normalise("C:\\data\\\\x\\"), "C:/data/x");
  EXPECT_EQ(qzfiledialog_join("/home/u/", "../v/./a.txt"), "/home/v/a.txt");
  EXPECT_EQ(qzfiledialog_join("/home/u", "/etc/x"), "/etc/x");
  EXPECT_EQ(qzfiledialog_join("/", ".."), "/");
  EXPECT_EQ(qzfiledialog_join("/a", "sub\\f.bmp"), "/a/sub/f.bmp");
  EXPECT_EQ(qzfiledialog_parent("/a/b.txt"), "/a");
  EXPECT_EQ(qzfiledialog_parent("/b.txt"), "/");
}

TEST(FileDialogFiles, DefaultExtensionOnlyForNamesWithoutOne) {
  EXPECT_EQ(qzfiledialog_with_extension("/d/page", "bmp"), "/d/page.bmp");
  EXPECT_EQ(qzfiledialog_with_extension("/d/page", ".txt"), "/d/page.txt");
  EXPECT_EQ(qzfiledialog_with_extension("/d/page.png", "bmp"), "/d/page.png");
  EXPECT_EQ(qzfiledialog_with_extension("/d.x/page", "bmp"), "/d.x/page.bmp");
  EXPECT_EQ(qzfiledialog_with_extension("/d/page", ""), "/d/page");
}
