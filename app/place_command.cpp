#include <cstdio>
#include <string>

#include "app/lookup_commands.h"
#include "data/places.h"

namespace {

// Matches printed at most.
constexpr size_t kShown = 20;

}  // namespace

int RunPlaceCommand(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: kmwb place NAME   (the best matches of places.dbf in the working folder)\n"
               "  prints: name, country, region, latitude, longitude, zone, population\n",
               stderr);
    return 2;
  }
  // The words after "place" are one name: kmwb place New York.
  std::string name = argv[1];
  for (int i = 2; i < argc; ++i) name += std::string(" ") + argv[i];
  std::string error, rebuilt;
  const PlaceIndex* places = WorkingPlaces(error, &rebuilt);
  if (!places) {
    std::fprintf(stderr, "kmwb place: %s\n", error.c_str());
    return 2;
  }
  if (!rebuilt.empty()) std::fprintf(stderr, "%s\n", rebuilt.c_str());
  const std::vector<const Place*> found = places->Find(name, kShown);
  for (const Place* p : found)
    std::printf("%s\t%s\t%s\t%.5f\t%.5f\t%s\t%lld\n", p->name.c_str(), p->country.c_str(), p->region.c_str(),
                p->latitude, p->longitude, p->zone.c_str(), static_cast<long long>(p->population));
  if (found.empty()) {
    std::fprintf(stderr, "kmwb place: no place found for \"%s\"\n", name.c_str());
    return 1;
  }
  return 0;
}
