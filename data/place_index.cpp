// The places in memory and their look-up.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

#include "data/place_names.h"
#include "data/places.h"
#include "qzk/xbase.h"

namespace {

// Adds a search form unless the place has it already.
void AddKey(std::string& keys, size_t placeStart, const std::string& key) {
  if (key.empty()) return;
  std::string_view mine(keys.data() + placeStart, keys.size() - placeStart);
  for (size_t at = 0; at < mine.size();) {
    const size_t end = mine.find('\n', at);
    if (mine.substr(at, end - at) == key) return;
    at = end + 1;
  }
  keys += key;
  keys += '\n';
}

// A place's search text and an optional country: "Frankfurt, DE".
void SplitCountry(std::string_view text, std::string_view& name, std::string& country) {
  name = text;
  country.clear();
  const size_t comma = text.find_last_of(',');
  if (comma == std::string_view::npos) return;
  std::string_view tail = text.substr(comma + 1);
  while (!tail.empty() && tail.front() == ' ') tail.remove_prefix(1);
  while (!tail.empty() && tail.back() == ' ') tail.remove_suffix(1);
  if (tail.size() != 2 || !std::isalpha(static_cast<unsigned char>(tail[0])) ||
      !std::isalpha(static_cast<unsigned char>(tail[1])))
    return;
  name = text.substr(0, comma);
  for (char c : tail) country += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

bool PlaceIndex::Load(const std::string& path, std::string& error) {
  places_.clear();
  keys_.clear();
  keyStart_.clear();
  otherStart_.clear();
  qzXBase table;
  if (!table.open(path.c_str(), true)) {
    error = "cannot read the places database: " + table.error();
    return false;
  }
  int column[kPlaceFieldCount];
  for (int f = 0; f < kPlaceFieldCount; ++f) {
    column[f] = table.field_index(kPlaceFields[f].name);
    if (column[f] < 0) {
      error = "the places database " + path + " has no field " + kPlaceFields[f].name;
      return false;
    }
  }
  std::vector<Place> places;
  places.reserve(static_cast<size_t>(table.live_count()));
  const bool read = table.scan([&](int, const uint8_t* record) {
    auto text = [&](int f) { return std::string(table.field_text(record, column[f])); };
    Place p;
    p.name = text(kPlaceName);
    p.asciiName = text(kPlaceAsciiName);
    p.alternateNames = text(kPlaceAlternateNames);
    p.country = text(kPlaceCountry);
    p.region = text(kPlaceRegion);
    p.latitude = std::strtod(text(kPlaceLatitude).c_str(), nullptr);
    p.longitude = std::strtod(text(kPlaceLongitude).c_str(), nullptr);
    p.zone = text(kPlaceZone);
    p.population = std::strtoll(text(kPlacePopulation).c_str(), nullptr, 10);
    places.push_back(std::move(p));
    return true;
  });
  if (!read) {
    error = "cannot read the places database: " + table.error();
    return false;
  }
  std::stable_sort(places.begin(), places.end(),
                   [](const Place& a, const Place& b) { return a.population > b.population; });
  places_ = std::move(places);
  keyStart_.reserve(places_.size() + 1);
  for (const Place& p : places_) {
    const size_t start = keys_.size();
    keyStart_.push_back(static_cast<uint32_t>(start));
    AddKey(keys_, start, FoldPlaceName(p.name));
    AddKey(keys_, start, FoldPlaceName(p.asciiName));
    AddKey(keys_, start, FoldGermanName(p.name));
    otherStart_.push_back(static_cast<uint32_t>(keys_.size()));
    std::string_view alternates = p.alternateNames;
    while (!alternates.empty()) {
      const size_t comma = alternates.find(',');
      const std::string_view alternate = alternates.substr(0, comma);
      AddKey(keys_, start, FoldPlaceName(alternate));
      AddKey(keys_, start, FoldGermanName(alternate));
      alternates.remove_prefix(comma == std::string_view::npos ? alternates.size() : comma + 1);
    }
  }
  keyStart_.push_back(static_cast<uint32_t>(keys_.size()));
  return true;
}

std::vector<const Place*> PlaceIndex::Find(std::string_view text, size_t max) const {
  std::string_view name;
  std::string country;
  SplitCountry(text, name, country);
  const std::string wanted = FoldPlaceName(name);
  std::vector<const Place*> whole, begins;
  if (wanted.empty() || max == 0) return whole;
  const char first = wanted[0];
  for (size_t i = 0; i < places_.size() && whole.size() < max; ++i) {
    const char* k = keys_.data() + keyStart_[i];
    const char* end = keys_.data() + keyStart_[i + 1];
    const char* others = keys_.data() + otherStart_[i];
    bool isWhole = false, isStart = false;
    while (k < end) {
      const char* stop = static_cast<const char*>(std::memchr(k, '\n', static_cast<size_t>(end - k)));
      const size_t length = static_cast<size_t>(stop - k);
      if (k[0] == first && length >= wanted.size() && std::memcmp(k, wanted.data(), wanted.size()) == 0) {
        isStart = true;
        if (length == wanted.size() && k < others) {
          isWhole = true;
          break;
        }
      }
      k = stop + 1;
    }
    if (!isStart || (!country.empty() && places_[i].country != country)) continue;
    if (isWhole) whole.push_back(&places_[i]);
    else if (begins.size() < max) begins.push_back(&places_[i]);
  }
  for (const Place* p : begins) {
    if (whole.size() >= max) break;
    whole.push_back(p);
  }
  return whole;
}

const PlaceIndex* WorkingPlaces(std::string& error, std::string* rebuilt) {
  static std::mutex guard;
  static PlaceIndex index;
  static std::string loadedIn;  // the working folder it was loaded in, "" before
  std::lock_guard<std::mutex> lock(guard);
  if (rebuilt) rebuilt->clear();
  char folder[4096];
  const std::string here = getcwd(folder, sizeof folder) ? folder : ".";
  struct stat s;
  // Loaded again after a change of working folder or when the table went.
  if (!loadedIn.empty() && loadedIn == here && stat(kPlacesTable, &s) == 0) return &index;
  loadedIn.clear();
  std::string message;
  if (!EnsurePlacesTable(kPlacesTable, message)) {
    error = message;
    return nullptr;
  }
  if (rebuilt) *rebuilt = message;
  if (!index.Load(kPlacesTable, error)) return nullptr;
  loadedIn = here;
  return &index;
}
