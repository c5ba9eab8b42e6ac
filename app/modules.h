#pragma once
// The menu: 22 module buttons on the Menu page, each running one module
// function to completion between ModuleBegin and ModuleEnd.
//
// The executable's entry (app/main.cpp) hands the shell a table of the
// modules it links, one line per module:
//
//     {"1- Statistics 1 - Continuum", RunContinuum},
//
// keyed by the button's label exactly as below. The shell brings its own
// modules for "0- WELCOME", "17- Julian Date" and the four picture pages;
// a table entry with the same label replaces one of them. A button whose
// label has no module prints one line saying it is not part of this
// version.
#include <array>
#include <string>
#include <vector>

using ModuleFunction = void (*)();

struct ModuleEntry {
  const char* label;
  ModuleFunction run;
};

struct MenuButtonPlace {
  const char* label;
  const char* y;  // vertical position in the option string
};

// The buttons in creation order, all at x=84% with width 30%.
inline constexpr std::array<MenuButtonPlace, 22> kMenuButtons{{
    {"0- WELCOME", "5%"},
    {"1- Statistics 1 - Continuum", "9%"},
    {"2- Event Analysis", "13%"},
    {"3- Statistics 2 - Density Function", "17%"},
    {"4- Matrix Probability", "21%"},
    {"5- Artificial_Intelligence", "25%"},
    {"6- Planetary Fluctuations - resonances", "29%"},
    {"7- Resonance-for-probability", "33%"},
    {"8- Resonance-probability", "37%"},
    {"9- Team-analysis", "41%"},
    {"10- Biografic - rhythms", "45%"},
    {"11- Planetary Fluctuations - time quality", "49%"},
    {"12- Art color transformation", "53%"},
    {"13- Correlation function", "57%"},
    {"14- Optimal curve", "61%"},
    {"15- Urn - model toy", "65%"},
    {"16- Transite classic", "69%"},
    {"17- Julian Date", "73%"},
    {"Meridea", "77%"},
    {"the planetary gravitational field", "81%"},
    {"das planetaren Gravitationsfeldes", "85%"},
    {"K und M  Institut", "91%"},
}};

// Sets the modules of this run (the shell's own come first; the table's
// entries replace them by label).
void SetModuleTable(const std::vector<ModuleEntry>& modules);
// The module bound to a menu label, or nullptr when there is none.
ModuleFunction ModuleForLabel(const std::string& label);
// True when the label is one of the 22 buttons.
bool IsMenuLabel(const std::string& label);

// The shell's own modules.
void RunWelcome();
void RunJulianDateTool();
void RunMerideaPages();
void RunBookPageEnglish();
void RunBookPageGerman();
void RunInstitutePage();
// The help button: what to check when the program crashes.
void ShowCrashHelp();
// What a button without a module prints.
void ReportNotInThisVersion(const std::string& label);
