#include "core/precise_source.h"

#include <swephexp.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

#include "core/core_print.h"

namespace {

std::atomic<bool> analyticModeNoted{false};
std::atomic<bool> failureNoted{false};
// The lines noted on any thread, printed on the thread that flushes them
// (the printer is the program's page, not to be written from helpers).
std::mutex pendingMutex;
std::string pending;

void Note(std::atomic<bool>& noted, const std::string& line) {
  if (noted.exchange(true)) return;
  std::lock_guard<std::mutex> lock(pendingMutex);
  pending += line;
}

// The library's flags: its data files and the apparent position (light
// time, aberration, deflection are its defaults).
int32_t FlagsFor(bool trueEquinox, bool speed) {
  int32_t flags = SEFLG_SWIEPH;
  if (!trueEquinox) flags |= SEFLG_NONUT;
  if (speed) flags |= SEFLG_SPEED;
  return flags;
}

// One line per process the first time the data files do not cover a
// moment and the library turns to its analytic mode.
void NoteSource(int32_t returned, double jd) {
  if ((returned & SEFLG_MOSEPH) == 0 || analyticModeNoted.load()) return;
  char line[200];
  std::snprintf(line, sizeof line,
                "\nprecise ephemeris: no data file covers JD %.1f (they cover 1800..2400), "
                "the Swiss Ephemeris' analytic mode is used there\n",
                jd);
  Note(analyticModeNoted, line);
}

void NoteFailure(const char* message) {
  if (failureNoted.load()) return;
  Note(failureNoted, std::string("\nprecise ephemeris: ") + message + "; the classic chart is given there\n");
}

}  // namespace

bool PreciseBodyAt(double jd, int body, bool trueEquinox, bool speed, PreciseBodyValue& value) {
  const int32_t planet = body == kPreciseMeanNode ? SE_MEAN_NODE : body;  // SE_SUN 0 .. SE_PLUTO 9
  double xx[6];
  char error[AS_MAXCH] = "";
  const int32_t returned = swe_calc_ut(jd, planet, FlagsFor(trueEquinox, speed), xx, error);
  if (returned < 0) {
    NoteFailure(error);
    return false;
  }
  if (body != kPreciseMeanNode) NoteSource(returned, jd);
  value = {xx[0], xx[1], speed ? xx[3] : 0.0};
  return true;
}

bool PreciseNutationAt(double jd, PreciseNutation& nutation) {
  double xx[6];
  char error[AS_MAXCH] = "";
  if (swe_calc_ut(jd, SE_ECL_NUT, 0, xx, error) < 0) {
    NoteFailure(error);
    return false;
  }
  nutation = {xx[2], xx[0]};
  return true;
}

double PreciseSiderealDegrees(double jd) { return swe_sidtime(jd) * 15; }

// With no nutation the obliquity plays no part.
double PreciseSiderealWithoutNutation(double jd) { return swe_sidtime0(jd, 23.4392911, 0) * 15; }

void ClosePreciseSource() { swe_close(); }

void FlushPreciseNotes() {
  std::string lines;
  {
    std::lock_guard<std::mutex> lock(pendingMutex);
    lines.swap(pending);
  }
  if (!lines.empty()) CorePrint(lines.c_str());
}
