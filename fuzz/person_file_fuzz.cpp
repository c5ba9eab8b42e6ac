// libFuzzer target of the person files: any bytes as a person file's
// text, read into the default record; a text that is read must come back
// unchanged through the text the program writes. Built by
// fuzz/text_build.sh.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "data/event_record.h"
#include "data/person_file.h"
#include "fuzz/fuzz_check.h"

namespace {

bool terminated(const char* field, size_t size) {
  return std::memchr(field, 0, size) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const EventRecord start = DefaultEventRecord();
  EventRecord record = start;
  std::string error;
  if (!ParsePersonText(text, record, error)) {
    check(std::memcmp(&record, &start, sizeof record) == 0);
    check(error.compare(0, 5, "line ") == 0);
    return 0;
  }
  check(terminated(record.familyName, sizeof record.familyName));
  check(terminated(record.firstName, sizeof record.firstName));
  check(terminated(record.place, sizeof record.place));
  check(record.month >= 1 && record.month <= 12);
  check(record.day >= 1 && record.day <= 31);

  EventRecord again = DefaultEventRecord();
  std::memset(again.familyName, 'x', sizeof again.familyName - 1);
  check(ParsePersonText(FormatPersonText(record), again, error));
  check(std::strcmp(again.familyName, record.familyName) == 0);
  check(std::strcmp(again.firstName, record.firstName) == 0);
  check(std::strcmp(again.place, record.place) == 0);
  check(std::memcmp(&again.summerTime, &record.summerTime,
                    offsetof(EventRecord, place) - offsetof(EventRecord, summerTime)) == 0);
  return 0;
}
