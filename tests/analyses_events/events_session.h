#pragma once
// The event analysis' tests: a workbench session with the continuum and
// the event analysis, the answers they share, and the group's files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analyses/continuum.h"
#include "analyses/event_analysis.h"
#include "app/testing.h"

namespace events_session {

inline const char* kContinuum = "1- Statistics 1 - Continuum";
inline const char* kEvents = "2- Event Analysis";

inline std::vector<ModuleEntry> Modules() { return {{kContinuum, RunContinuum}, {kEvents, RunEventAnalysis}}; }

inline std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "(missing)";
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& path) { return std::ifstream(path).good(); }

inline std::vector<double> Reals(const std::string& path) {
  std::vector<double> v;
  std::istringstream in(Bytes(path));
  for (std::string line; std::getline(in, line);) v.push_back(std::strtod(line.c_str(), nullptr));
  return v;
}

// The example persons and lists, into the session's folder.
inline void CopyExamples(WorkbenchSession& s) {
  const std::string dir = std::string(SOURCE_DIR) + "/examples/";
  ASSERT_TRUE(s.CopyIn(dir + "persons.dbf"));
  for (const char* list : {"members", "Lastname", "Firstname", "City", "Longitude", "Latitude", "Timezone", "Year",
                           "Month", "Day", "Hour", "Minute", "Summertime"})
    ASSERT_TRUE(s.CopyIn(dir + "Current_" + list + ".txt"));
}

// A short continuum with the IC, gravity weights and self-correlation.
inline void Continuum(WorkbenchSession& s, int members) {
  s.Answer("Order of the correlation -> 4");
  s.Answer("with IC -> yes");
  s.Answer("Members of the group -> " + std::to_string(members));
  s.Answer("Should planets be selected -> no");
  s.Answer("Should the planets get a weight -> yes");
  s.Answer("weight of gravity -> 2");
  s.Answer("gravity planets -> - - - - - - - - - - -");
  s.Answer("Should self-correlations -> yes");
  s.Answer("Enter start-date -> 1.1.1950 0:00");
  s.Answer("Enter end-date -> 1.1.1960 0:00");
  s.Answer("* Number per interval -> 20");
  s.Answer("Selection accidental -> no");
  ASSERT_TRUE(s.Run(kContinuum)) << s.Error();
}

inline void Start(WorkbenchSession& s, int days = 0, int hours = 0) {
  s.Answer("Has the continuum run before -> yes");
  s.Answer("read data automatically -> yes");
  s.Answer("time shift d -> " + std::to_string(days));
  s.Answer("time shift h -> " + std::to_string(hours));
}

inline void FromTable(WorkbenchSession& s, const std::string& table, int offset) {
  s.Answer("INPUT from *.dbf -> yes");
  s.Answer("Open -> " + table);
  s.Answer("offset in database -> " + std::to_string(offset));
}

inline void FromLists(WorkbenchSession& s, int count, const std::string& chosen = "1 1 1 1 1 1 1 1 1 1 1 1") {
  s.Answer("INPUT from *.dbf -> no");
  s.Answer("Open -> persons.dbf");  // the dialog comes whatever the answer
  s.Answer("Number of events OK -> " + std::to_string(count));
  s.Answer("Select event data -> " + chosen);
}

inline const std::vector<std::string> kGroupFiles = {
    "zsummh.txt",   "zsummi.txt",   "zsummd.txt",    "zsummda.txt",    "dath.txt",          "dati.txt",
    "datz.txt",     "datd.txt",     "data.txt",      "datda.txt",      "matrixsumevent.txt", "eventsh.txt",
    "eventsi.txt",  "eventsd.txt",  "eventsda.txt",  "juliandat.txt",  "juliansummerz.txt", "julianzeitzone.txt",
    "name.txt",     "eventsdat.txt", "datdat.txt",   "datplanet.txt", "dattimeshiftd.txt", "dattimeshifth.txt"};

inline std::map<std::string, std::string> GroupFiles() {
  std::map<std::string, std::string> files;
  for (const std::string& f : kGroupFiles) files[f] = Bytes(f);
  return files;
}

}  // namespace events_session
