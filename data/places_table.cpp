// The places table on disk: writing it, and rebuilding it from its master
// copy when it is missing.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "data/places.h"
#include "qzk/gzip_file.h"
#include "qzk/xbase.h"
#include "qzk/xbase_writer.h"

#ifndef KMWB_ASSETS_DIR
#define KMWB_ASSETS_DIR "assets"
#endif

namespace {

bool Exists(const std::string& path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string StemOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot) : path;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// True when the table at `path` opens and has every field of the layout.
bool IsPlacesTable(const std::string& path, std::string& why) {
  qzXBase table;
  if (!table.open(path.c_str(), true)) {
    why = table.error();
    return false;
  }
  for (const PlaceFieldLayout& f : kPlaceFields) {
    if (table.field_index(f.name) < 0) {
      why = path + " has no field " + f.name;
      return false;
    }
  }
  if (table.live_count() == 0) {
    why = path + " holds no places";
    return false;
  }
  return true;
}

void WriteCodePageFile(const std::string& tablePath) {
  std::ofstream(StemOf(tablePath) + ".cpg", std::ios::binary) << "UTF-8\n";
}

}  // namespace

bool WritePlacesTable(const std::string& path, const std::vector<Place>& places, std::string& error, int year,
                      int month, int day) {
  std::vector<qzXBaseNewField> fields;
  for (const PlaceFieldLayout& f : kPlaceFields) fields.push_back({f.name, f.type, f.length, f.decimals});
  qzXBaseWriter writer;
  if (!writer.open(path.c_str(), fields, 0)) {
    error = writer.error();
    return false;
  }
  if (year > 0) writer.set_date(year, month, day);
  for (const Place& p : places) {
    if (!(std::fabs(p.latitude) <= 90) || !(std::fabs(p.longitude) <= 180) || p.population < 0) {
      error = p.name + ": coordinates or population out of range";
      return false;
    }
    bool ok = writer.set(kPlaceName, p.name) && writer.set(kPlaceAsciiName, p.asciiName) &&
              writer.set(kPlaceAlternateNames, p.alternateNames) && writer.set(kPlaceCountry, p.country) &&
              writer.set(kPlaceRegion, p.region) && writer.set(kPlaceLatitude, Fixed(p.latitude, 5)) &&
              writer.set(kPlaceLongitude, Fixed(p.longitude, 5)) && writer.set(kPlaceZone, p.zone) &&
              writer.set(kPlacePopulation, std::to_string(p.population)) && writer.add();
    if (!ok) {
      error = writer.error();
      return false;
    }
  }
  if (!writer.finish()) {
    error = writer.error();
    return false;
  }
  WriteCodePageFile(path);
  return true;
}

std::vector<std::string> PlacesMasterCandidates(const std::string& path) {
  return {FolderOf(path) + kPlacesMaster, std::string(KMWB_ASSETS_DIR) + "/" + kPlacesMaster};
}

bool EnsurePlacesTable(const std::string& path, std::string& message, const std::vector<std::string>* masters) {
  message.clear();
  if (Exists(path)) return true;
  std::string reasons;
  for (const std::string& master : masters ? *masters : PlacesMasterCandidates(path)) {
    if (!Exists(master)) continue;
    // Unpacked beside the table under another name, checked, then renamed:
    // a damaged master copy leaves no table behind.
    const std::string unpacked = path + ".unpacked";
    std::string why;
    if (qzgunzip_file(master, unpacked, why) && IsPlacesTable(unpacked, why) &&
        std::rename(unpacked.c_str(), path.c_str()) == 0) {
      WriteCodePageFile(path);
      message = path + " was missing: rebuilt from " + master;
      return true;
    }
    std::remove(unpacked.c_str());
    if (why.empty()) why = "cannot rename it to " + path;
    reasons += "; " + master + ": " + why;
  }
  message = "the places database " + path + " is missing and no sound master copy " + kPlacesMaster +
            " was found" + (reasons.empty() ? " (looked for beside it and in " KMWB_ASSETS_DIR ")" : reasons);
  return false;
}
