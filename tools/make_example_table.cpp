// make_example_table: writes the bundled example group, eight invented
// persons, as the dBase table persons.dbf (Windows ANSI texts, the field
// names the event analysis recognises) and as the matching Current_ text
// lists (UTF-8), into the folder given (default: the current directory).
//   make_example_table [FOLDER]
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "qzk/xbase.h"

namespace {

struct Person {
  const char* lastName;
  const char* firstName;
  const char* city;
  double longitude;  // degrees, the two first decimals are minutes
  double latitude;
  int timeZone, year, month, day, hour, minute, summerTime;
};

// Invented people; the places are real towns with their coordinates.
const Person kPersons[] = {
    {"Müller", "Jürgen", "Görlitz", 14.59, 51.09, 1, 1952, 3, 14, 6, 45, 0},
    {"Schäfer", "Anneliese", "Würzburg", 9.56, 49.48, 1, 1961, 7, 2, 14, 20, 0},
    {"Größer", "Käthe", "Lüneburg", 10.25, 53.15, 1, 1974, 11, 23, 23, 5, 0},
    {"Bäumler", "Frédéric", "Straßburg", 7.45, 48.35, 1, 1983, 5, 30, 8, 10, 1},
    {"Kühn", "Björn", "Düsseldorf", 6.47, 51.14, 1, 1990, 8, 19, 17, 55, 1},
    {"Sørensen", "Mette", "Århus", 10.13, 56.09, 1, 1968, 12, 31, 23, 30, 0},
    {"Nußbaum", "Zoë", "Köln", 6.57, 50.56, 1, 2001, 2, 28, 12, 0, 0},
    {"Ibáñez", "José", "Málaga", -4.25, 36.43, 1, 1979, 10, 5, 4, 15, 0},
};

// UTF-8 to Windows ANSI for the characters of Latin-1 (all the names use).
std::string Ansi(const char* utf8) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p; ++p) {
    if (*p < 0x80) {
      out += static_cast<char>(*p);
    } else if ((*p & 0xE0) == 0xC0 && p[1]) {
      out += static_cast<char>(((*p & 0x1F) << 6) | (p[1] & 0x3F));
      ++p;
    } else {
      out += '?';
    }
  }
  return out;
}

bool WriteTable(const std::string& path) {
  const std::vector<qzXBaseNewField> fields = {
      {"LASTNAME", 'C', 30, 0}, {"FIRSTNAME", 'C', 30, 0}, {"CITY", 'C', 30, 0},  {"LONGITUDE", 'N', 7, 2},
      {"LATITUDE", 'N', 7, 2},  {"TIMEZONE", 'N', 3, 0},   {"YEAR", 'N', 5, 0},   {"MONTH", 'N', 3, 0},
      {"DAY", 'N', 3, 0},       {"HOUR", 'N', 3, 0},       {"MINUTE", 'N', 3, 0}, {"SUMMERTIME", 'N', 3, 0},
  };
  if (!qzXBase::create(path.c_str(), fields, 0x03)) return false;
  qzXBase table;
  if (!table.open(path.c_str())) return false;
  bool ok = true;
  for (const Person& p : kPersons) {
    ok = ok && table.append_record() >= 0;
    ok = ok && table.write_field(0, "%s", Ansi(p.lastName).c_str());
    ok = ok && table.write_field(1, "%s", Ansi(p.firstName).c_str());
    ok = ok && table.write_field(2, "%s", Ansi(p.city).c_str());
    ok = ok && table.write_field(3, "%7.2f", p.longitude);
    ok = ok && table.write_field(4, "%7.2f", p.latitude);
    const int numbers[] = {p.timeZone, p.year, p.month, p.day, p.hour, p.minute, p.summerTime};
    for (int i = 0; i < 7; ++i) ok = ok && table.write_field(5 + i, "%*d", fields[5 + i].length, numbers[i]);
  }
  return table.close() && ok;
}

template <class Value>
bool WriteList(const std::string& folder, const char* name, Value value) {
  std::ofstream out(folder + "/Current_" + name + ".txt", std::ios::binary);
  for (const Person& p : kPersons) out << value(p) << "\n";
  return static_cast<bool>(out);
}

std::string Fixed(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%f", v);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  if (!WriteTable(folder + "/persons.dbf")) {
    std::fprintf(stderr, "make_example_table: cannot write %s/persons.dbf\n", folder.c_str());
    return 1;
  }
  bool ok = true;
  {
    std::ofstream members(folder + "/Current_members.txt", std::ios::binary);
    members << std::size(kPersons) << "\n";
    ok = static_cast<bool>(members);
  }
  ok = ok && WriteList(folder, "Lastname", [](const Person& p) { return std::string(p.lastName); });
  ok = ok && WriteList(folder, "Firstname", [](const Person& p) { return std::string(p.firstName); });
  ok = ok && WriteList(folder, "City", [](const Person& p) { return std::string(p.city); });
  ok = ok && WriteList(folder, "Longitude", [](const Person& p) { return Fixed(p.longitude); });
  ok = ok && WriteList(folder, "Latitude", [](const Person& p) { return Fixed(p.latitude); });
  ok = ok && WriteList(folder, "Timezone", [](const Person& p) { return p.timeZone; });
  ok = ok && WriteList(folder, "Year", [](const Person& p) { return p.year; });
  ok = ok && WriteList(folder, "Month", [](const Person& p) { return p.month; });
  ok = ok && WriteList(folder, "Day", [](const Person& p) { return p.day; });
  ok = ok && WriteList(folder, "Hour", [](const Person& p) { return p.hour; });
  ok = ok && WriteList(folder, "Minute", [](const Person& p) { return p.minute; });
  ok = ok && WriteList(folder, "Summertime", [](const Person& p) { return p.summerTime; });
  if (!ok) {
    std::fprintf(stderr, "make_example_table: cannot write the lists in %s\n", folder.c_str());
    return 1;
  }
  std::printf("wrote %s/persons.dbf and the Current_ lists (%zu persons)\n", folder.c_str(), std::size(kPersons));
  return 0;
}
