#pragma once
// The working files: small plain text files in the current directory (and
// a few subfolders) through which the analysis modules hand their results
// on. This header is the one place where their names and layouts live;
// every module reads and writes them through the functions below.
//
// Layout of every file:
//  - one value per line, nothing else; every line ends with a single "\n";
//  - integers "%i\n", reals "%f\n" (six decimals, 57.2 -> "57.200000"),
//    names as text;
//  - `c` is the index of the last body (10 with IC, 9 without, first line
//    of datdat.txt): per-body files hold c + 1 lines in Body order,
//    full matrices (c + 1) * (c + 1) lines row-major (row l, then column g),
//    upper triangles c * (c + 1) / 2 lines, row by row, only column > row:
//    (0,1), (0,2) .. (0,c), (1,2) .. (c-1,c).
//
// Writing: a module writes its files as one set, all of them or none
// (analyses/workfile_set.h); WriteValues and WriteLines below are a set of
// one file. A subfolder in the name ("Optimierung-COMPARE/...") is created
// when it is missing.
//
// Reading: a reader reads the number of values the caller expects (given by
// other files, see LineCount). Each line is converted like strtod; an
// integer file's values are truncated toward zero. Before it reads, a
// reader finishes a set that an interrupted module left (RecoverWorkfileSet).
//  - A missing file, or anything but a regular file in its place (a folder,
//    a FIFO), prints the module's message on the current text page,
//    "\n " + name + " not exist or not closed : ..." (see MissingFileNotice),
//    pauses as the module says and returns std::nullopt; the module is
//    reported as ended early (app/module_report.h). The module then returns
//    from its Run function at once: the menu shows "R E A D Y" again and
//    the program stays open with all its pages. A FIFO is never opened for
//    reading, so it cannot make the module wait.
//  - A value that is not a finite number ("nan", "inf", "1e999"), one
//    beyond kMaxStoredValue, or in an integer file one beyond the int
//    range, is refused the same way with the file and line named:
//    "\n datplanet.txt, line 3: \"nan\" is not a finite number \n".
//  - A file with fewer lines than expected is read as far as it goes; the
//    missing values read as 0 and one warning line on the current text
//    page names the file and both counts:
//    "\n WARNING: datplanet.txt holds 7 of 11 lines; the missing values read as 0 \n".
//  - A blank line reads as 0, and a number followed by text as the number
//    (the strtod rule, which stored files may rely on). A line with no
//    number at all reads as 0 too, but the file is damaged: one warning
//    per file names the first such line and how many there are.
//  - A file the modules write whose last line read has no line end was
//    cut: one warning names it ("12" cut to "1" would read as 1). The
//    Current_ lists, which people write, may end without one.
//
// Typical use in a module:
//
//     const MissingFileNotice notice{12.0};                 // event analysis: 12 s
//     auto dat = ReadIntegers(kDatDat, 2, notice);
//     if (!dat) return;                                     // back to the menu
//     const int c = (*dat)[0];
//     auto w = ReadReals(kDatPlanet, LineCount(kDatPlanet, c), notice);
//     if (!w) return;
//     ...
//     WorkfileSet set;                                      // workfile_set.h
//     set.Put(kZsummH, rowSums);                            // std::span<const double>
//     set.Put(kDatH, FullMatrixValues(groupH, c));
//     if (!set.Commit()) return;
//
// The group settings (datdat.txt, datord.txt ...) have one reader each,
// which also checks the values against their ranges: settings_files.h.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class WorkLayout {
  Integers,  // "%i\n"
  Reals,     // "%f\n"
  Text,      // one name (or "%s %s\n" line) per line
};

// How the number of lines of a file follows from `c` (or from elsewhere).
enum class WorkExtent {
  Fixed,          // `fixedLines` lines
  PerBody,        // c + 1
  FullMatrix,     // (c + 1) * (c + 1), row-major
  UpperTriangle,  // c * (c + 1) / 2
  MarkRows,       // (c + 1) * (c + 2): per row, the marks of columns 0..c + 1
  Listed,         // one line per moment or event; the count comes from another file
};

// Who writes a file: the modules, or people (the Current_ event lists).
enum class WorkOrigin { Module, User };

struct WorkFile {
  const char* name;  // path relative to the current directory
  WorkLayout layout;
  WorkExtent extent;
  int fixedLines = 0;  // for WorkExtent::Fixed
  WorkOrigin origin = WorkOrigin::Module;
};

// No module writes a value beyond this size (sums stay below 2e18 with the
// weights bounded by kMaxBodyWeight, Julian dates below 6e6); a larger one
// in a file is damage.
inline constexpr double kMaxStoredValue = 1e30;

// The number of lines `file` holds for body index `c`; `listed` is
// returned for WorkExtent::Listed.
std::size_t LineCount(const WorkFile& file, int c, std::size_t listed = 0);

// ---- The continuum and group settings --------------------------------
// 1: c (9 or 10); 2: number of group members.
inline constexpr WorkFile kDatDat{"datdat.txt", WorkLayout::Integers, WorkExtent::Fixed, 2};
// 1: order of the correlation, 1..12.
inline constexpr WorkFile kDatOrd{"datord.txt", WorkLayout::Integers, WorkExtent::Fixed, 1};
// 1: self-correlation switch (1 = the diagonal counts, 0 = it is left out).
inline constexpr WorkFile kSelfKorr{"selfkorr.txt", WorkLayout::Integers, WorkExtent::Fixed, 1};
// 1: group size (the continuum's members; the event analysis' events used).
inline constexpr WorkFile kEventsDat{"eventsdat.txt", WorkLayout::Integers, WorkExtent::Fixed, 1};
// c + 1 body weights.
inline constexpr WorkFile kDatPlanet{"datplanet.txt", WorkLayout::Reals, WorkExtent::PerBody};
// 6: start year, end year, start month, end month, start day, end day.
inline constexpr WorkFile kStartEndYear{"startendyear.txt", WorkLayout::Integers,
                                        WorkExtent::Fixed, 6};
// 1: "precise" when the continuum was computed with the precise
// ephemeris; a continuum of the classic one leaves no such file (so the
// files of earlier continuums count as classic ones).
inline constexpr WorkFile kContinuumEphemeris{"ephemeris.txt", WorkLayout::Text, WorkExtent::Fixed, 1};
// 1: number of moments per interval of the continuum.
inline constexpr WorkFile kDatIntervT{"datintervt.txt", WorkLayout::Integers, WorkExtent::Fixed, 1};

// ---- The continuum's results (already divided by the number of moments) -
inline constexpr WorkFile kZshContinuum{"zshcontinuum.txt", WorkLayout::Reals, WorkExtent::PerBody};
inline constexpr WorkFile kZsiContinuum{"zsicontinuum.txt", WorkLayout::Reals, WorkExtent::PerBody};
inline constexpr WorkFile kZsdContinuum{"zsdcontinuum.txt", WorkLayout::Reals, WorkExtent::PerBody};
inline constexpr WorkFile kZsdaContinuum{"zsdacontinuum.txt", WorkLayout::Reals,
                                         WorkExtent::PerBody};
// 4: total sums of H, I, D, DA (both files hold the same values).
inline constexpr WorkFile kMatrixSumContinuum{"matrixsumcontinuum.txt", WorkLayout::Reals,
                                              WorkExtent::Fixed, 4};
inline constexpr WorkFile kMsContinuum{"mscontinuum.txt", WorkLayout::Reals, WorkExtent::Fixed, 4};
inline constexpr WorkFile kDathContinuum{"dathcontinuum.txt", WorkLayout::Reals,
                                         WorkExtent::UpperTriangle};
// The continuum writes dati.txt, datz.txt and data.txt as upper triangles
// (I, D times 0.1, DA times 0.1); the event analysis overwrites them with
// its full matrices (kDatI, kDatZ, kDatA below), which every reader expects.
inline constexpr WorkFile kContinuumDatI{"dati.txt", WorkLayout::Reals, WorkExtent::UpperTriangle};
inline constexpr WorkFile kContinuumDatZ{"datz.txt", WorkLayout::Reals, WorkExtent::UpperTriangle};
inline constexpr WorkFile kContinuumDatA{"data.txt", WorkLayout::Reals, WorkExtent::UpperTriangle};
// Only when the continuum has at most 1000 moments: their Julian dates in
// the order drawn, and that number.
inline constexpr WorkFile kCompareJulianDates{"Optimierung-COMPARE/bjuliandat.txt",
                                              WorkLayout::Reals, WorkExtent::Listed};
inline constexpr WorkFile kCompareGroupSize{"Optimierung-COMPARE/datgroupb.txt",
                                            WorkLayout::Integers, WorkExtent::Fixed, 1};

// ---- The group (event) results of the event analysis -------------------
inline constexpr WorkFile kZsummH{"zsummh.txt", WorkLayout::Reals, WorkExtent::PerBody};
inline constexpr WorkFile kZsummI{"zsummi.txt", WorkLayout::Reals, WorkExtent::PerBody};
inline constexpr WorkFile kZsummD{"zsummd.txt", WorkLayout::Reals, WorkExtent::PerBody};
inline constexpr WorkFile kZsummDA{"zsummda.txt", WorkLayout::Reals, WorkExtent::PerBody};
inline constexpr WorkFile kDatH{"dath.txt", WorkLayout::Reals, WorkExtent::FullMatrix};
inline constexpr WorkFile kDatI{"dati.txt", WorkLayout::Reals, WorkExtent::FullMatrix};
// The group D matrix, twice; the group DA matrix, twice.
inline constexpr WorkFile kDatZ{"datz.txt", WorkLayout::Reals, WorkExtent::FullMatrix};
inline constexpr WorkFile kDatD{"datd.txt", WorkLayout::Reals, WorkExtent::FullMatrix};
inline constexpr WorkFile kDatA{"data.txt", WorkLayout::Reals, WorkExtent::FullMatrix};
inline constexpr WorkFile kDatDA{"datda.txt", WorkLayout::Reals, WorkExtent::FullMatrix};
// 4: the group sums of H, I, D, DA.
inline constexpr WorkFile kMatrixSumEvent{"matrixsumevent.txt", WorkLayout::Reals,
                                          WorkExtent::Fixed, 4};
// One line per event: its H, I, D, DA sum.
inline constexpr WorkFile kEventsH{"eventsh.txt", WorkLayout::Reals, WorkExtent::Listed};
inline constexpr WorkFile kEventsI{"eventsi.txt", WorkLayout::Reals, WorkExtent::Listed};
inline constexpr WorkFile kEventsD{"eventsd.txt", WorkLayout::Reals, WorkExtent::Listed};
inline constexpr WorkFile kEventsDA{"eventsda.txt", WorkLayout::Reals, WorkExtent::Listed};
// One line per event: Julian date, summer time, time zone (hours).
inline constexpr WorkFile kJulianDat{"juliandat.txt", WorkLayout::Reals, WorkExtent::Listed};
inline constexpr WorkFile kJulianSummerZ{"juliansummerz.txt", WorkLayout::Integers,
                                         WorkExtent::Listed};
inline constexpr WorkFile kJulianZeitZone{"julianzeitzone.txt", WorkLayout::Integers,
                                          WorkExtent::Listed};
// 1: day shift -25..25; 1: hour shift -47..47.
inline constexpr WorkFile kDatTimeShiftD{"dattimeshiftd.txt", WorkLayout::Integers,
                                         WorkExtent::Fixed, 1};
inline constexpr WorkFile kDatTimeShiftH{"dattimeshifth.txt", WorkLayout::Integers,
                                         WorkExtent::Fixed, 1};
// Only for a group of one: year, month, day, hour, minute of that event.
inline constexpr WorkFile kTimeGeburt{"timegeburt.txt", WorkLayout::Integers, WorkExtent::Fixed, 5};
// 1 line: "%s %s\n", first and last name of the last event read.
inline constexpr WorkFile kName{"name.txt", WorkLayout::Text, WorkExtent::Fixed, 1};

// ---- The matrix probability's significance marks ---------------------
inline constexpr WorkFile kSignificanceH{"significanceh.txt", WorkLayout::Integers,
                                         WorkExtent::MarkRows};
inline constexpr WorkFile kSignificanceI{"significancei.txt", WorkLayout::Integers,
                                         WorkExtent::MarkRows};
inline constexpr WorkFile kSignificanceD{"significanced.txt", WorkLayout::Integers,
                                         WorkExtent::MarkRows};
inline constexpr WorkFile kSignificanceDA{"significanceda.txt", WorkLayout::Integers,
                                          WorkExtent::MarkRows};

// ---- Event lists (read by the event analysis; written by the user) -----
// At most kMaxListedEvents events are read.
inline constexpr std::size_t kMaxListedEvents = 1000;
inline constexpr WorkFile kCurrentMembers{"Current_members.txt", WorkLayout::Integers,
                                          WorkExtent::Fixed, 1, WorkOrigin::User};
inline constexpr WorkFile kCurrentLastname{"Current_Lastname.txt", WorkLayout::Text,
                                           WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentFirstname{"Current_Firstname.txt", WorkLayout::Text,
                                            WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentCity{"Current_City.txt", WorkLayout::Text, WorkExtent::Listed, 0,
                                       WorkOrigin::User};
// Degrees; the integer part is degrees, the first two decimals minutes.
inline constexpr WorkFile kCurrentLongitude{"Current_Longitude.txt", WorkLayout::Reals,
                                            WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentLatitude{"Current_Latitude.txt", WorkLayout::Reals,
                                           WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentTimezone{"Current_Timezone.txt", WorkLayout::Integers,
                                           WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentYear{"Current_Year.txt", WorkLayout::Integers,
                                       WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentMonth{"Current_Month.txt", WorkLayout::Integers,
                                        WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentDay{"Current_Day.txt", WorkLayout::Integers, WorkExtent::Listed,
                                      0, WorkOrigin::User};
inline constexpr WorkFile kCurrentHour{"Current_Hour.txt", WorkLayout::Integers,
                                       WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentMinute{"Current_Minute.txt", WorkLayout::Integers,
                                         WorkExtent::Listed, 0, WorkOrigin::User};
inline constexpr WorkFile kCurrentSummertime{"Current_Summertime.txt", WorkLayout::Integers,
                                             WorkExtent::Listed, 0, WorkOrigin::User};
// Optional: the time-zone names ("Europe/Berlin"); when the file is there,
// each member's time zone and summer time come from its line.
inline constexpr WorkFile kCurrentZonename{"Current_Zonename.txt", WorkLayout::Text,
                                           WorkExtent::Listed, 0, WorkOrigin::User};

// The subfolders of the working directory. Files in the folders whose
// content the modules set themselves are named by those modules, as a
// WorkFile with a path such as "OPTIMIERUNG-MASTER/master3.txt".
inline constexpr const char* kWorkFolders[] = {
    "Optimierung-COMPARE", "master-new",          "OPTIMIERUNG-MASTER", "OPTIMIERUNG-ORD",
    "OPTIMIERUNG-COM",     "OPTIMIERUNG-PASS",    "Data-marking-events", "AI-aktuell",
};

// ---- Writing ------------------------------------------------------------
// Writes `values`, one per line, in the file's layout ("%i\n" of the value
// truncated toward zero for Integers, "%f\n" for Reals, every digit of it).
// A set of this one file (workfile_set.h): whole or not at all; on failure
// prints "\n <name> could not be written \n" on the current text page,
// leaves any earlier file as it was and returns false.
bool WriteValues(const WorkFile& file, std::span<const double> values);
bool WriteValues(const WorkFile& file, std::span<const int> values);
// Text files: each line as given, followed by "\n" (a line must not
// contain "\n" itself).
bool WriteLines(const WorkFile& file, const std::vector<std::string>& lines);
// The bytes `values` give in the file's layout (what WriteValues writes).
// `problem` (when given) gets why they cannot be written: a value that is
// not finite, or beyond the int range in an integer file; "" when none.
std::string FormatValues(const WorkFile& file, std::span<const double> values,
                         std::string* problem = nullptr);
std::string FormatValues(const WorkFile& file, std::span<const int> values);
std::string FormatLines(const std::vector<std::string>& lines);

// ---- Reading ------------------------------------------------------------
// How a module reports a missing file.
enum class MissingTail {
  WithCode,  // " not exist or not closed : %i  ", %i = the system's error number
  Plain,     // " not exist or not closed : "
  StartNew,  // " not exist or not closed : start new "
};
struct MissingFileNotice {
  double pauseSeconds;                        // 2 in the probability modules, 12 in the event analysis
  MissingTail tail = MissingTail::WithCode;
  const char* shownName = nullptr;            // the module's spelling, nullptr = the file's name
};
// The module's own spellings of three file names.
inline constexpr const char* kZshContinuumShown = "zshcontimuum.txt";   // zshcontinuum.txt
inline constexpr const char* kSelfKorrShown = "dselfkorr.txt";          // selfkorr.txt
inline constexpr const char* kDatTimeShiftHShown = "dattimedhift.txt";  // dattimeshifth.txt

// The message a missing file prints (without the pause), e.g.
// "\n datdat.txt not exist or not closed : 2  ".
std::string MissingFileMessage(const WorkFile& file, const MissingFileNotice& notice,
                               int errorNumber);

// No working file holds more values; a reader asked for more (a count
// from a damaged file) prints "\n <name>: <count> values asked, more than a
// working file holds \n", pauses like a missing file and returns nullopt.
inline constexpr std::size_t kMaxWorkFileLines = std::size_t{1} << 24;

// Ends a reading that cannot go on: prints `message` on the current text
// page, pauses as for a missing file and reports the module as failed.
void RefuseReading(const std::string& message, const MissingFileNotice& notice);

// Reads `count` values; see the top of this header for a missing, damaged
// or short file.
std::optional<std::vector<double>> ReadReals(const WorkFile& file, std::size_t count,
                                             const MissingFileNotice& notice);
std::optional<std::vector<int>> ReadIntegers(const WorkFile& file, std::size_t count,
                                             const MissingFileNotice& notice);
// Text lines without their line ends ("\r\n" or "\n"); missing lines read as "".
std::optional<std::vector<std::string>> ReadLines(const WorkFile& file, std::size_t count,
                                                  const MissingFileNotice& notice);
// The number of lines the file holds, counted up to `atMost` (a last line
// without a line end counts); nullopt when it is missing or no regular file
// (its reader then says so).
std::optional<std::size_t> WorkFileLines(const WorkFile& file, std::size_t atMost);
// True when something is there under the file's name (for modules that
// ask whether an earlier module has run); a reader then reads it, or names
// what is wrong with it.
bool WorkFileExists(const WorkFile& file);

// ---- Matrices -----------------------------------------------------------
// The cells 0..c of a square matrix as a file's values: full row-major, or
// the upper triangle (column > row), row by row.
template <std::size_t N>
std::vector<double> FullMatrixValues(const double (&m)[N][N], int c) {
  std::vector<double> v;
  for (int l = 0; l <= c; ++l)
    for (int g = 0; g <= c; ++g) v.push_back(m[l][g]);
  return v;
}
template <std::size_t N>
std::vector<double> UpperTriangleValues(const double (&m)[N][N], int c) {
  std::vector<double> v;
  for (int l = 0; l <= c; ++l)
    for (int g = l + 1; g <= c; ++g) v.push_back(m[l][g]);
  return v;
}
// Back from a full matrix file's values into the cells 0..c.
template <std::size_t N>
void FillFullMatrix(std::span<const double> values, int c, double (&m)[N][N]) {
  std::size_t i = 0;
  for (int l = 0; l <= c; ++l)
    for (int g = 0; g <= c; ++g) m[l][g] = i < values.size() ? values[i++] : 0.0;
}
