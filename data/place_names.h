#pragma once
// The search form of a place name: what a look-up compares, so that case,
// accents and the usual spellings of umlauts do not matter.
//
// FoldPlaceName: UTF-8 in, lower-case ASCII out for the Latin script:
// letters with accents lose them ("Zürich" -> "zurich", "Łódź" -> "lodz",
// "Hà Nội" -> "ha noi"), ß is "ss", æ "ae", œ "oe", þ "th"; apostrophes
// are dropped ("L'Aquila" -> "laquila"); every other mark (blanks, hyphens,
// dots, brackets, commas, slashes) separates words, one blank between
// them, none at the ends ("Halle (Saale)" -> "halle saale"). Characters of
// other scripts stay as they are; bytes that are no UTF-8 are kept.
//
// FoldGermanName: the same with the German spelling of the umlauts, ä ö ü
// as "ae", "oe", "ue" ("München" -> "muenchen"), so that both "Munchen"
// and "Muenchen" find München.
#include <string>
#include <string_view>

std::string FoldPlaceName(std::string_view name);
std::string FoldGermanName(std::string_view name);

// True when every character of the UTF-8 text is of the Latin script, a
// digit or a mark (what FoldPlaceName turns wholly into ASCII).
bool IsLatinName(std::string_view name);
