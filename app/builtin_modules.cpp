// The shell's own menu entries: the welcome text, the crash help, the
// Julian date tool, the four picture pages, and the line printed by a
// button whose module is not part of this version.
#include <cstdio>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/module_report.h"
#include "app/modules.h"
#include "app/output.h"
#include "core/calendar.h"
#include "qzk/graphic.h"

namespace {

struct InfoText {
  const char* heading;
  std::vector<const char*> lines;
};

// The information texts of the welcome module, in the order it prints them.
const std::vector<InfoText>& WelcomeTexts() {
  static const std::vector<InfoText> texts = {
      {"\n\n Statistic 1 - CONTINUUM ",
       {"\n The continuum is the measure of every later analysis: the mean matrices",
        "\n H (harmony), I (energy), D (dynamic) and DA (absolute dynamic) of a period,",
        "\n sampled evenly or at random, for the order, group size and weights you choose.",
        "\n It writes the group settings and the continuum means for the other modules.",
        "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
        "\n The calculation of group sizes from 1 to 1000 is possible",
        "\n You can find the results in Text 1 and Graphics 1"}},
      {"\n\n EVENT ANALYSIS",
       {"\n The event analysis builds the matrices of every member of a group of persons",
        "\n or events (from a dBase table or from text lists) and averages them.",
        "\n ATTENTION !!! the program continuum should have been run",
        "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
        "\n The calculation of group sizes from 1 to 1000 is possible",
        "\n You can find the results in Text 1 and Graphics 1"}},
      {"\n\n Statistics 2 DENSITY FUNCTION",
       {"\n The density function shows how the matrix values of the period are spread.",
        "\n ATTENTION !!! the program continuum should have been run",
        "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
        "\n You can find the results in Text 1 and Graphics 1"}},
      {"\n\n MATRIX PROBABILITY",
       {"\n Matrix probability draws random control groups from the continuum period and",
        "\n prints for every matrix cell the percentage of control groups that reach the",
        "\n value of the group, with significance marks and plots.",
        "\n ATTENTION !!! the program continuum and the event analysis should have been run",
        "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
        "\n The calculation of group sizes from 1 to 1000 is possible",
        "\n You can find the results in Text 1 and Graphics 1 to 3"}},
      {"\n\n ARTIFICIAL INTELLIGENC",
       {"\n The artificial-intelligence module compares a group's matrices with master",
        "\n groups of earlier analyses.",
        "\n ATTENTION !!! the program event analysis should have been run",
        "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
        "\n You can find the results in Text 1 and Graphics 1",
        "\n For help with this module contact the Institut K & M."}},
      {"\n\n Statistics 3 - PROBABILITY",
       {"\n The resonance modules follow the matrices of transits against a birth or an",
        "\n event through a period and compare them with random moments.",
        "\n ATTENTION !!! the program continuum should have been run",
        "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
        "\n You can find the results in Text 1 and Graphics 1"}},
      {"\n\n FLUKTUATIONS",
       {"\n The planetary fluctuations draw the time quality: the matrices H, I, D and DA",
        "\n of the sky itself through a period, as curves with their limits.",
        "\n ATTENTION !!! the program continuum should have been run",
        "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
        "\n You can find the results in Text 1 and Graphics 1 to 4"}},
      {"\n\n TEAM-ANALYSIS",
       {"\n The team analysis compares the matrices of the members of a team pairwise.",
        "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
        "\n The calculation of group sizes from 1 to 1000 is possible",
        "\n You can find the results in Text 1 and Graphics 1"}},
  };
  return texts;
}

// Draws a picture file on the current graphic page; when it cannot be
// read, says which file is missing on the page and on the text page.
void ShowPicture(int x, int y, const char* file) {
  if (qzgraphic_loadpicture(x, y, "%s", file)) return;
  PrintOut("\n The picture file %s is missing (it belongs in the working folder).\n", file);
  TextAt(x + 20, y + 40, 0xC00000, "picture file %s is missing", file);
}

void ShowSinglePicture(const char* file) {
  GraphicOutput(1, 2304, 1500, 0xFFFFFF);
  ShowPicture(0, 0, file);
  PlayModuleSound();
}

void JulianFromDate() {
  int day = 1, month = 1, year = 2000, hour = 12, minute = 0, second = 0;
  InputDateTime("Date and time in world time", day, month, year, hour, minute, second);
  double jd = JulianDate(year, month, day, hour, minute, second, 0);
  PrintOut("\n %02d.%02d.%04d  %02d:%02d:%02d world time\n = Julian date %.6f\n", day, month, year, hour, minute,
           second, jd);
}

void DateFromJulian() {
  double jd = InputDouble("Julian date (world time)", 2451545.0);
  if (jd < 0) {
    PrintEndedEarly("\n Julian date %.6f: only dates from 0 (4713 BC) on are converted.\n", jd);
    return;
  }
  if (!JulianDateInCalendar(jd)) {
    PrintEndedEarly("\n Julian date %.6f: only dates from 0 (4713 BC) to %.1f (the end of the year 9999) are "
                    "converted.\n",
                    jd, kCalendarEndJulian);
    return;
  }
  CalendarDate d = CalendarFromJulian(jd);
  PrintOut("\n Julian date %.6f\n = %02d.%02d.%04d  %02d:%02d world time\n", jd, d.day, d.month, d.year, d.hour,
           d.minute);
}

}  // namespace

void RunWelcome() {
  TextOutput(0);
  for (const InfoText& t : WelcomeTexts()) {
    PrintOut("%s", t.heading);
    Pause(0.1);
    for (const char* line : t.lines) {
      PrintOut("%s", line);
      Pause(0.1);
    }
  }
  PrintOut("\n \n ");
}

void ShowCrashHelp() {
  const char* separator = "=================================\n\n";
  TextOutput(1);
  ClearOutput();
  PrintOut("\n Hardware, useful conditions:Screen > 1920x1080; Operating system: Windows\n");
  PrintOut("%s", separator);
  PrintOut("Possible Error: All files are not in the root directory!!!\n\n");
  PrintOut("%s", separator);
  PrintOut("Possible Error: One file (possible event file) is not closed!!!\n\n");
  PrintOut("%s", separator);
  PrintOut("Contact: Research-Program Institut K & M\n\n");
  PrintOut("%s", separator);
}

void RunJulianDateTool() {
  TextOutput(1);
  PrintOut("\n Julian Date\n");
  int choice = InputChoice("Julian Date", {"Date to Julian date", "Julian date to date"});
  if (choice == 1) JulianFromDate();
  if (choice == 2) DateFromJulian();
  if (choice > 0) PlayModuleSound();
}

void RunMerideaPages() {
  int english = InputYesNo("in english ?", 1);
  if (english < 0) return;
  GraphicOutput(1, 2304, 1500, 0xFFFFFF);
  // The title page and its three pages side by side, two by two.
  ShowPicture(0, 0, "meridea-1.bmp");
  const char* pages[2][3] = {{"meridea-1d.bmp", "meridea-2d.bmp", "meridea-3d.bmp"},
                             {"meridea-1e.bmp", "meridea-2e.bmp", "meridea-3e.bmp"}};
  const int at[3][2] = {{1050, 0}, {0, 750}, {1050, 750}};
  for (int i = 0; i < 3; ++i) ShowPicture(at[i][0], at[i][1], pages[english][i]);
  PlayModuleSound();
}

void RunBookPageEnglish() { ShowSinglePicture("booken.bmp"); }
void RunBookPageGerman() { ShowSinglePicture("bookde.bmp"); }
void RunInstitutePage() { ShowSinglePicture("kundm.bmp"); }

void ReportNotInThisVersion(const std::string& label) {
  PrintOut("\n \"%s\" is not part of this version of the workbench.\n", label.c_str());
}
