#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "app/lookup_commands.h"
#include "data/time_zones.h"
#include "data/zone_record.h"

namespace {

const char kUsage[] =
    "usage: kmwb zone NAME Y M D h m [s]\n"
    "       kmwb zone --batch    (one \"NAME Y M D h m [s]\" per line of standard input)\n"
    "  NAME          a zone name of the time-zone database (Europe/Berlin, Asia/Kolkata)\n"
    "  Y M D h m s   the civil date and clock time there\n"
    "  prints: standard offset, summer-time amount (hours), UT date, UT time\n";

bool ParseInteger(const std::string& text, long& value) {
  errno = 0;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && errno == 0 && value > -100000 && value < 100000;
}

// One question: the answer line, or false with the reason.
bool Answer(const std::string& zone, const long (&v)[6], std::string& line, std::string& note,
            std::string& error) {
  ZoneTime time;
  if (!LocalZoneTime(zone, int(v[0]), int(v[1]), int(v[2]), int(v[3]), int(v[4]), int(v[5]), time, error))
    return false;
  note = ClockCaseMessage(zone, int(v[0]), int(v[1]), int(v[2]), int(v[3]), int(v[4]), time);
  EventRecord ut{};
  SetCivilTime(ut, time.utcSeconds, 0);
  char when[64];
  std::snprintf(when, sizeof when, "%04d-%02d-%02d\t%02d:%02d:%02d", ut.year, ut.month, ut.day, ut.hour, ut.minute,
                ut.second);
  line = HoursText(time.standardSeconds) + "\t" + HoursText(time.summerSeconds) + "\t" + when;
  return true;
}

// The words of one question; false with the reason when they do not fit.
bool Question(const std::string* words, int count, std::string& zone, long (&v)[6], std::string& error) {
  if (count != 6 && count != 7) {
    error = "a zone name and five or six numbers are needed (NAME Y M D h m [s])";
    return false;
  }
  zone = words[0];
  v[5] = 0;
  for (int i = 1; i < count; ++i) {
    if (!ParseInteger(words[i], v[i - 1])) {
      error = "\"" + words[i] + "\" is not a whole number";
      return false;
    }
  }
  return true;
}

}  // namespace

int RunZoneCommand(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--batch") == 0) {
    int bad = 0, lineNumber = 0;
    std::string text;
    while (std::getline(std::cin, text)) {
      ++lineNumber;
      std::istringstream in(text);
      std::string words[8];
      int count = 0;
      while (count < 8 && in >> words[count]) ++count;
      std::string zone, line, note, error;
      long v[6];
      if (Question(words, count, zone, v, error) && Answer(zone, v, line, note, error)) {
        if (!note.empty()) std::fprintf(stderr, "line %d: %s\n", lineNumber, note.c_str());
        std::printf("%s\n", line.c_str());
      } else {
        std::fprintf(stderr, "line %d: %s\n", lineNumber, error.c_str());
        std::printf("\n");
        ++bad;
      }
    }
    return bad ? 1 : 0;
  }
  std::string words[8];
  const int count = argc - 1;
  for (int i = 0; i < count && i < 8; ++i) words[i] = argv[i + 1];
  std::string zone, line, note, error;
  long v[6];
  if (count < 1 || count > 7 || !Question(words, count, zone, v, error)) {
    if (!error.empty()) std::fprintf(stderr, "kmwb zone: %s\n", error.c_str());
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!Answer(zone, v, line, note, error)) {
    std::fprintf(stderr, "kmwb zone: %s\n", error.c_str());
    return 2;
  }
  if (!note.empty()) std::fprintf(stderr, "%s\n", note.c_str());
  std::printf("%s\n", line.c_str());
  return 0;
}
