#pragma once
// The group settings files, each with one reader that also checks every
// value against the range its writer can produce (the dialogs' ranges of
// the continuum and the event analysis). A value outside it means the file
// is not what a module wrote: the reader prints
//     "\n datord.txt: the order 0 is not 1..12; run the continuum again \n"
// pauses like a missing file, reports the module as failed and returns
// std::nullopt. A missing or damaged file is refused as every working
// file is (workfiles.h); the modules' own spellings of a missing file
// come with the notice.
#include <array>
#include <optional>
#include <vector>

#include "analyses/workfiles.h"

// The ranges the writers give.
inline constexpr int kMaxCorrelationOrder = 12;          // the continuum's order dialog
inline constexpr int kMaxGroupMembers = 1000;            // the continuum's members; the events read
inline constexpr int kMaxMomentsPerInterval = 900000;    // the continuum's G (below 2 it takes 100000)
inline constexpr int kMaxDayShift = 25;                  // the event analysis' time shifts
inline constexpr int kMaxHourShift = 47;
inline constexpr int kFirstPeriodYear = 1000;            // the date dialog's year field
inline constexpr int kLastPeriodYear = 10000;

// datdat.txt: the last body (9 or 10) and the continuum's group size.
struct GroupBodies {
  int lastBody = 10;
  int members = 1;
};
std::optional<GroupBodies> ReadGroupBodies(const MissingFileNotice& notice);
// datord.txt: 1..12.
std::optional<int> ReadCorrelationOrder(const MissingFileNotice& notice);
// selfkorr.txt: 0 or 1.
std::optional<bool> ReadSelfCorrelation(const MissingFileNotice& notice);
// eventsdat.txt: the group size, 1..1000.
std::optional<int> ReadGroupSize(const MissingFileNotice& notice);
// datintervt.txt: the continuum's number per interval, 2..900000.
std::optional<int> ReadMomentsPerInterval(const MissingFileNotice& notice);
// dattimeshiftd.txt (-25..25) and dattimeshifth.txt (-47..47).
std::optional<int> ReadDayShift(const MissingFileNotice& notice);
std::optional<int> ReadHourShift(const MissingFileNotice& notice);
// startendyear.txt in its order: start year, end year (1000..10000), start
// month, end month (1..12), start day, end day (1..31).
std::optional<std::array<int, 6>> ReadPeriodSetting(const MissingFileNotice& notice);
// datplanet.txt: the c + 1 weights, each within kMaxBodyWeight.
std::optional<std::vector<double>> ReadBodyWeights(int c, const MissingFileNotice& notice);
