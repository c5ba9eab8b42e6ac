// Where the event analysis takes its members from: a dBase table, the
// Current_ text lists, or a hand-picked selection from a table.
#include <algorithm>
#include <array>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "analyses/event_analysis.h"
#include "analyses/members.h"
#include "analyses/members_pick.h"
#include "analyses/record_tables.h"
#include "data/run_journal.h"
#include "analyses/workfiles.h"
#include "app/dialogs.h"
#include "app/file_choice.h"
#include "app/module_report.h"
#include "app/output.h"
#include "qzk/xbase.h"

namespace {

constexpr double kMissingPause = 12.0;
constexpr double kTimeFieldsPause = 17.0;

// One member source before the checks: its records and their numbers.
struct Candidates {
  std::vector<EventRecord> records;
  std::vector<int> numbers;
  std::vector<std::string> problems;  // a value that could not be read, or ""
  std::vector<std::string> zoneNames;  // the zone name, or "" for the hours as read

  void Add(const EventRecord& record, int number, const std::string& problem = std::string(),
           const std::string& zoneName = std::string()) {
    records.push_back(record);
    numbers.push_back(number);
    problems.push_back(problem);
    zoneNames.push_back(zoneName);
  }
};

// The lists of the "Select event data" dialog, in its order.
struct ListField {
  const char* label;    // the dialog's row
  const char* chosen;   // as listed under "You have chosen"
  const char* file;     // as listed under "The following files must be available"
  const char* caption;  // above the echo of its values
  const WorkFile& workFile;
};
const std::array<ListField, kListFieldCount> kListFields{{
    {"Last name", "Last name, ", "Lastname.txt, ", "\n Lastname \n", kCurrentLastname},
    {"First name", "First name, ", "Firstname.txt, ", "\n Firstname \n", kCurrentFirstname},
    {"city", "City, ", "City.txt, ", "\n City \n", kCurrentCity},
    {"Longitude", "Longitude, ", "Longitude.txt, ", "\n Longitude \n", kCurrentLongitude},
    {"Latitude", "Latitude, ", "Latitude.txt, ", "\n Latitude \n", kCurrentLatitude},
    {"time zone", "Time zone, ", "Timezone.txt, ", "\n Timezone \n", kCurrentTimezone},
    {"Year", "Year, ", "Year.txt, ", "\n Year \n", kCurrentYear},
    {"Month", "Month, ", "Month.txt, ", "\n Month \n", kCurrentMonth},
    {"Day", "Day, ", "Day.txt, ", "\n Day \n", kCurrentDay},
    {"Hour", "Hour, ", "Hour.txt, ", "\n Hour \n", kCurrentHour},
    {"Minute", "Minute, ", "Minute.txt, ", "\n Minute \n", kCurrentMinute},
    {"summer time", "Summer time, ", "Summertime.txt, ", "\n Summertime \n", kCurrentSummertime},
}};

// The name a missing list is reported under: the file name without "Current_".
std::string ShownListName(const ListField& f) {
  std::string name = f.file;
  return name.substr(0, name.find(','));
}

bool OpenTable(qzXBase& table, const std::string& path, TableFieldMap& map) {
  if (path.empty() || !table.open(path.c_str(), true)) {
    PrintEndedEarly("E R R O R opening database %s\n", path.c_str());
    return false;
  }
  JournalNoteRead(path);
  map = MapTableFields(table);
  std::string unknownPage;
  map.page = TableCodePage(path, table.language_byte(), &unknownPage);
  if (!unknownPage.empty())
    PrintOut("\n The code page \"%s\" of the .cpg file is not known: the texts are read as %s \n",
             unknownPage.c_str(), qzxbase_codepage_name(map.page));
  if (!map.skipped.empty())
    PrintOut("\n Fields of a type that is not read as text, taken as missing: %s \n", map.skipped.c_str());
  if (map.Mapped() == 0) {
    PrintEndedEarly("E R R O R opening database %s\n", path.c_str());
    PrintEndedEarly("\n The table has no field named as a member field (LASTNAME, YEAR, MONTH, DAY, HOUR, MINUTE ...) \n");
    return false;
  }
  std::string missing = map.MissingTimeFields();
  if (!missing.empty()) {
    PrintEndedEarly("\n The table %s has no field %s: the time is not known \n", path.c_str(), missing.c_str());
    return false;
  }
  if (map.PlaceIncomplete()) PrintOut("\n\n ATTENTION * GMT is calculated *");
  return true;
}

bool FromTable(const std::string& path, int wanted, Candidates& out) {
  qzXBase table;
  TableFieldMap map;
  if (!OpenTable(table, path, map)) return false;
  const int offset = InputInt("offset in database", 1, 1000000, 1);
  const int count = table.live_count();
  for (int k = 1; k <= wanted; ++k) {
    const int number = offset + k - 1;
    if (number > count) {
      PrintOut("\n record %i: the table holds only %i records \n", number, count);
      break;
    }
    std::string problem, zone;
    const EventRecord record = ReadTableMember(table, map, number - 1, &problem, &zone);
    out.Add(record, number, problem, zone);
  }
  return true;
}

bool FromPicks(const std::string& path, int wanted, Candidates& out) {
  qzXBase table;
  TableFieldMap map;
  if (!OpenTable(table, path, map)) return false;
  PrintOut("\n \tchoose the members with double click left !! \n");
  for (int i : PickMembers(table, map, wanted)) {
    std::string problem, zone;
    const EventRecord record = ReadTableMember(table, map, i, &problem, &zone);
    out.Add(record, i + 1, problem, zone);
  }
  return true;
}

template <class T>
void Echo(const std::vector<T>& values) {
  for (const T& v : values) {
    if constexpr (std::is_same_v<T, std::string>) PrintOut(" %s\n", v.c_str());
    else if constexpr (std::is_same_v<T, double>) PrintOut(" %f\n", v);
    else PrintOut(" %i\n", v);
  }
}

bool ReadList(const ListField& f, int field, std::size_t n, ListColumns& lists) {
  const std::string shown = ShownListName(f);
  const MissingFileNotice notice{kMissingPause, MissingTail::WithCode, shown.c_str()};
  PrintOut("%s", f.caption);
  if (field <= kFieldCity) {
    auto v = ReadLines(f.workFile, n, notice);
    if (!v) return false;
    lists.names[field] = *v;
    Echo(*v);
  } else if (field <= kFieldLatitude) {
    auto v = ReadReals(f.workFile, n, notice);
    if (!v) return false;
    lists.coordinates[field - kFieldLongitude] = *v;
    Echo(*v);
  } else {
    auto v = ReadIntegers(f.workFile, n, notice);
    if (!v) return false;
    lists.numbers[field - kFieldTimeZone] = *v;
    Echo(*v);
  }
  return true;
}

bool FromLists(int wanted, Candidates& out) {
  PrintOut("\n INPUT from *.txt ");
  auto members = ReadIntegers(kCurrentMembers, 1, MissingFileNotice{kMissingPause, MissingTail::WithCode, nullptr});
  if (!members) return false;
  const int max = static_cast<int>(kMaxListedEvents);
  // The dialog starts at 0, that is at its minimum, the group size.
  const int n = InputInt("\n Number of events OK ?\n max 1000", wanted, max, 0);

  std::vector<double> chosen(kListFieldCount, 1.0);
  std::vector<std::string> labels;
  for (const ListField& f : kListFields) labels.push_back(f.label);
  InputArray("Select event data", chosen.data(), labels);
  auto isChosen = [&](int field) { return chosen[field] != 0.0; };

  PrintOut("\n You have chosen: \n ");
  for (int i = 0; i < kListFieldCount; ++i)
    if (isChosen(i)) PrintOut("%s", kListFields[i].chosen);
  for (int field : {kFieldYear, kFieldMonth, kFieldDay, kFieldHour, kFieldMinute}) {
    if (!isChosen(field)) {
      PrintEndedEarly("\n\n ATTENTIONE The time is not correct! The program is termineted!! *");
      Pause(kTimeFieldsPause);
      return false;
    }
  }
  PrintOut("\n \n The following files must be available:  \n  ");
  for (int i = 0; i < kListFieldCount; ++i)
    if (isChosen(i)) PrintOut("%s", kListFields[i].file);
  // The zone names are read whenever their list is there.
  const bool zoneList = WorkFileExists(kCurrentZonename);
  if (!isChosen(kFieldLongitude) || !isChosen(kFieldLatitude) || (!isChosen(kFieldTimeZone) && !zoneList))
    PrintOut("\n\n ATTENTION * GMT is calculated *");

  ListColumns lists;
  for (int i = 0; i < kListFieldCount; ++i)
    if (isChosen(i) && !ReadList(kListFields[i], i, static_cast<std::size_t>(n), lists)) return false;
  std::vector<std::string> zones;
  if (zoneList) {
    PrintOut("\n Zonename (from Current_Zonename.txt) \n");
    auto v = ReadLines(kCurrentZonename, static_cast<std::size_t>(n),
                       MissingFileNotice{kMissingPause, MissingTail::WithCode, "Zonename.txt"});
    if (!v) return false;
    zones = *v;
    for (std::string& z : zones) {
      while (!z.empty() && (z.back() == ' ' || z.back() == '\r' || z.back() == '\t')) z.pop_back();
      while (!z.empty() && (z.front() == ' ' || z.front() == '\t')) z.erase(0, 1);
    }
    Echo(zones);
  }
  for (int i = 0; i < n; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    out.Add(MemberFromLists(lists, k), i + 1, std::string(), k < zones.size() ? zones[k] : std::string());
  }
  return true;
}

// The list a member of the text lists is left out for: "day 0 is not
// 1..31" lies in Current_Day.txt (see MemberProblem and ApplyMemberZone).
const char* ListOfProblem(const std::string& problem) {
  static const std::pair<const char*, const WorkFile*> kLists[] = {
      {"year ", &kCurrentYear},           {"month ", &kCurrentMonth},
      {"day ", &kCurrentDay},             {"hour ", &kCurrentHour},
      {"minute ", &kCurrentMinute},       {"time zone ", &kCurrentTimezone},
      {"summer time ", &kCurrentSummertime}, {"zone name", &kCurrentZonename}};
  for (const auto& [start, list] : kLists)
    if (problem.rfind(start, 0) == 0) return list->name;
  return "the lists";
}

// "record 4" of a table; "line 4 of Current_Day.txt" of the text lists.
std::string MemberPlace(MemberSource source, int number, const std::string& problem) {
  if (source != MemberSource::TextLists) return "record " + std::to_string(number);
  return "line " + std::to_string(number) + " of " + ListOfProblem(problem);
}

}  // namespace

bool ReadEventMembers(EventAnalysisParams& p, std::vector<EventRecord>& members, std::vector<int>& numbers) {
  Candidates candidates;
  if (p.automatic) {
    const int dbf = InputYesNo("\n INPUT from *.dbf?", 1);
    if (dbf < 0) return false;
    p.source = dbf == 1 ? MemberSource::Table : MemberSource::TextLists;
    // The file dialog comes whatever the answer; the text lists do not use it.
    ChooseFile(p.tablePath, "open,filter=*.dbf,defaultext=dbf");
    if (p.source == MemberSource::Table ? !FromTable(p.tablePath, p.groupSize, candidates)
                                        : !FromLists(p.groupSize, candidates))
      return false;
  } else {
    p.source = MemberSource::Picked;
    ChooseFile(p.tablePath, "open,filter=*.dbf,defaultext=dbf");
    if (!FromPicks(p.tablePath, p.groupSize, candidates)) return false;
  }

  members.clear();
  numbers.clear();
  for (std::size_t i = 0; i < candidates.records.size(); ++i) {
    std::string problem = candidates.problems[i];
    if (problem.empty()) problem = MemberProblem(candidates.records[i]);
    std::string zoneLine;
    if (problem.empty() && !candidates.zoneNames[i].empty())
      ApplyMemberZone(candidates.records[i], candidates.zoneNames[i], zoneLine, problem);
    if (!zoneLine.empty())
      PrintOut("\n %s: %s \n", MemberPlace(p.source, candidates.numbers[i], "zone name").c_str(),
               zoneLine.c_str());
    if (!problem.empty()) {
      const std::string place = MemberPlace(p.source, candidates.numbers[i], problem);
      PrintOut("\n %s left out: %s \n", place.c_str(), problem.c_str());
      JournalMember left = JournalMemberOf(candidates.records[i], candidates.numbers[i]);
      left.leftOutBecause = problem;
      JournalNoteMember(left);
      JournalNoteMessage(place + " left out: " + problem);
      continue;
    }
    members.push_back(candidates.records[i]);
    numbers.push_back(candidates.numbers[i]);
  }
  // Of the members asked, a table that ends early included.
  const int asked = std::max(static_cast<int>(candidates.records.size()), p.groupSize);
  const int used = static_cast<int>(members.size());
  PrintOut("\n Members used: %i of %i \n", used, asked);
  if (used > 0 && used < p.groupSize)
    PrintOut("\n The group has %i of the %i members asked: the control groups of the matrix "
             "probability get %i (eventsdat.txt) \n",
             used, p.groupSize, used);
  if (members.empty()) {
    PrintEndedEarly("\n No member can be used: the event analysis ends here \n");
    return false;
  }
  return true;
}
