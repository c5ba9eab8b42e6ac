#pragma once
// The places database: places.dbf, a dBase table of the world's places
// of at least 1 000 inhabitants (and the seats of administrative regions
// down to the third level) from the GeoNames gazetteer, with their
// coordinates, time-zone names and populations. Its master copy is
// assets/places.dbf.gz (made by tools/make_places from the GeoNames data
// of npm packages, see tools/places/README.md); the program rebuilds
// places.dbf in the working folder from it when the table is missing.
//
// The fields, in order (texts UTF-8, a places.cpg beside the table says so):
//   NAME C(70)        the name as the place writes it ("Zürich")
//   ASCIINAME C(70)   the name in ASCII letters ("Zurich")
//   ALTNAMES C(160)   other spellings in Latin letters, comma-separated, for
//                     the search ("Zurigo,Zuerich,Zurich,Turicum" ...)
//   COUNTRY C(2)      ISO 3166 country code ("CH")
//   REGION C(50)      the first-level region ("Zurich")
//   LAT N(9,5)        latitude, decimal degrees, north positive
//   LON N(10,5)       longitude, decimal degrees, east positive
//   ZONENAME C(32)    the time-zone name ("Europe/Zurich")
//   POPULATION N(10)
//
// A look-up compares the search form of the text (data/place_names.h)
// with the start of the search forms of each place's name, ASCII name,
// German umlaut spelling and other spellings: places whose whole name
// (ASCII name, umlaut spelling) is the text come first, then those whose
// names or other spellings begin with it, each larger places first.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Place {
  std::string name, asciiName, alternateNames, country, region, zone;
  double latitude = 0, longitude = 0;
  int64_t population = 0;
};

enum PlaceField {
  kPlaceName,
  kPlaceAsciiName,
  kPlaceAlternateNames,
  kPlaceCountry,
  kPlaceRegion,
  kPlaceLatitude,
  kPlaceLongitude,
  kPlaceZone,
  kPlacePopulation,
  kPlaceFieldCount
};

struct PlaceFieldLayout {
  const char* name;
  char type;
  int length, decimals;
};
inline constexpr PlaceFieldLayout kPlaceFields[kPlaceFieldCount] = {
    {"NAME", 'C', 70, 0},   {"ASCIINAME", 'C', 70, 0}, {"ALTNAMES", 'C', 160, 0},
    {"COUNTRY", 'C', 2, 0}, {"REGION", 'C', 50, 0},    {"LAT", 'N', 9, 5},
    {"LON", 'N', 10, 5},    {"ZONENAME", 'C', 32, 0},  {"POPULATION", 'N', 10, 0},
};

inline constexpr char kPlacesTable[] = "places.dbf";
inline constexpr char kPlacesMaster[] = "places.dbf.gz";

// Writes the places as a table at `path` (whole or not at all), in the
// order given, and a .cpg file beside it. False with the reason in
// `error`: a text longer than its field, a coordinate out of range, a
// failed write. The header's date is today's, or the one given.
bool WritePlacesTable(const std::string& path, const std::vector<Place>& places, std::string& error,
                      int year = 0, int month = 0, int day = 0);

// Makes sure the table at `path` is there: when it is missing, it is
// unpacked from the master copy, looked for beside it (places.dbf.gz in
// the same folder) and then in the program's assets folder, checked, and
// renamed into place. True when the table exists or was rebuilt; `message`
// then says whether it was rebuilt ("" when it was there). False with the
// reason in `message` when neither the table nor a sound master copy is
// there.
// `masters`, when given, replaces the places looked in.
bool EnsurePlacesTable(const std::string& path, std::string& message,
                       const std::vector<std::string>* masters = nullptr);

// Where the master copies are looked for, in order, for a table at `path`.
std::vector<std::string> PlacesMasterCandidates(const std::string& path);

// The places of a table in memory, for look-ups.
class PlaceIndex {
 public:
  // Reads every record of the table at `path`. False with the reason in
  // `error` when it cannot be opened or lacks one of the fields.
  bool Load(const std::string& path, std::string& error);

  // Up to `max` places for the text (see above). A text ending in a comma
  // and a country code ("Frankfurt, DE") keeps the places of that country.
  // An empty text finds nothing.
  std::vector<const Place*> Find(std::string_view text, size_t max) const;

  size_t size() const { return places_.size(); }

 private:
  std::vector<Place> places_;  // larger places first
  std::string keys_;           // the search forms, each followed by '\n'
  std::vector<uint32_t> keyStart_;  // where each place's forms start; one more at the end
  std::vector<uint32_t> otherStart_;  // where its other spellings' forms start
};

// The index of places.dbf in the working folder, the table rebuilt from
// its master copy when missing; loaded on first use and kept. nullptr with
// the reason in `error` when there is neither. `rebuilt`, when given, gets
// the rebuild's message ("" when the table was there or was loaded before).
const PlaceIndex* WorkingPlaces(std::string& error, std::string* rebuilt = nullptr);
