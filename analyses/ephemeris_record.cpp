#include "analyses/ephemeris_record.h"

#include <cerrno>
#include <cstdio>

#include "analyses/workfiles.h"
#include "app/module_report.h"
#include "app/output.h"

void RecordContinuumEphemeris(Ephemeris ephemeris, WorkfileSet& files) {
  if (ephemeris == Ephemeris::Precise) files.PutLines(kContinuumEphemeris, {EphemerisName(ephemeris)});
}

bool ForgetContinuumEphemeris(Ephemeris ephemeris) {
  if (ephemeris == Ephemeris::Precise) return true;
  return std::remove(kContinuumEphemeris.name) == 0 || errno == ENOENT;
}

std::optional<Ephemeris> ContinuumEphemeris() {
  if (!WorkFileExists(kContinuumEphemeris)) return Ephemeris::Classic;
  const MissingFileNotice quiet{0};
  const auto lines = ReadLines(kContinuumEphemeris, 1, quiet);
  Ephemeris e;
  if (!lines || lines->empty() || !EphemerisFromName((*lines)[0], e)) return std::nullopt;
  return e;
}

std::string EphemerisMismatch(Ephemeris current) {
  const std::optional<Ephemeris> continuum = ContinuumEphemeris();
  if (!continuum)
    return std::string("\n ERROR! ") + kContinuumEphemeris.name +
           " names neither the classic nor the precise ephemeris. Run the continuum again. \n";
  if (*continuum == current) return "";
  return std::string("\n ERROR! The continuum was computed with the ") + EphemerisName(*continuum) +
         " ephemeris, this run uses the " + EphemerisName(current) +
         " ephemeris: the two do not combine. Run the continuum again with the " + EphemerisName(current) +
         " ephemeris, or this module with the " + EphemerisName(*continuum) + " one. \n";
}

bool ContinuumEphemerisAgrees() {
  const std::string message = EphemerisMismatch(CurrentEphemeris());
  if (message.empty()) return true;
  PrintEndedEarly("%s", message.c_str());
  Pause(2.0);
  return false;
}
