// The search form of place names.
#include <gtest/gtest.h>

#include "data/place_names.h"

namespace {

TEST(PlaceNames, AccentsCaseAndMarksFold) {
  const std::pair<const char*, const char*> cases[] = {
      {"Z\xc3\xbcrich", "zurich"},                        // Zürich
      {"\xc5\x81\xc3\xb3" "d\xc5\xba", "lodz"},            // Łódź
      {"H\xc3\xa0 N\xe1\xbb\x99i", "ha noi"},              // Hà Nội (Vietnamese letters)
      {"Stra\xc3\x9f" "burg", "strassburg"},               // Straßburg
      {"\xc3\x86r\xc3\xb8sk\xc3\xb8" "bing", "aeroskobing"},  // Ærøskøbing
      {"Halle (Saale)", "halle saale"},
      {"  Sankt-Peterburg ", "sankt peterburg"},
      {"L'Aquila", "laquila"},
      {"Ta\xca\xbbiz", "taiz"},                            // modifier letter apostrophe
      {"Bra\xc8\x99ov", "brasov"},                         // ș, Latin Extended-B
      {"\xc3\x8e" "le-de-France", "ile de france"},
  };
  for (const auto& [name, folded] : cases) EXPECT_EQ(FoldPlaceName(name), folded) << name;
}

TEST(PlaceNames, GermanUmlautSpellingIsASecondForm) {
  EXPECT_EQ(FoldGermanName("M\xc3\xbcnchen"), "muenchen");
  EXPECT_EQ(FoldGermanName("K\xc3\xb6ln"), "koeln");
  EXPECT_EQ(FoldGermanName("\xc3\x84" "gypten"), "aegypten");
  EXPECT_EQ(FoldPlaceName("M\xc3\xbcnchen"), "munchen");
  EXPECT_EQ(FoldGermanName("S\xc3\xa3o Paulo"), "sao paulo") << "only German umlauts spell out";
}

TEST(PlaceNames, OtherScriptsAndBrokenBytesStay) {
  EXPECT_EQ(FoldPlaceName("\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0"),  // Москва
            "\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0");
  EXPECT_EQ(FoldPlaceName("Z\xfcrich"), "z\xfcrich") << "a Latin-1 byte is no UTF-8: kept";
  EXPECT_EQ(FoldPlaceName("ab\xc3"), "ab\xc3") << "a sequence cut at the end";
  EXPECT_EQ(FoldPlaceName(""), "");
  EXPECT_EQ(FoldPlaceName("-- ()"), "");
}

TEST(PlaceNames, LatinScriptTest) {
  EXPECT_TRUE(IsLatinName("Z\xc3\xbcrich"));
  EXPECT_TRUE(IsLatinName("Saint-\xc3\x89tienne 2"));
  EXPECT_FALSE(IsLatinName("\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0"));
  EXPECT_FALSE(IsLatinName("\xe6\x9d\xb1\xe4\xba\xac"));  // 東京
  EXPECT_FALSE(IsLatinName("Z\xfcrich"));
}

}  // namespace
