#include "app/modules.h"

#include <map>

namespace {

std::map<std::string, ModuleFunction>& Table() {
  static std::map<std::string, ModuleFunction> table;
  return table;
}

const std::vector<ModuleEntry>& ShellModules() {
  static const std::vector<ModuleEntry> own = {
      {"0- WELCOME", RunWelcome},
      {"17- Julian Date", RunJulianDateTool},
      {"Meridea", RunMerideaPages},
      {"the planetary gravitational field", RunBookPageEnglish},
      {"das planetaren Gravitationsfeldes", RunBookPageGerman},
      {"K und M  Institut", RunInstitutePage},
  };
  return own;
}

}  // namespace

void SetModuleTable(const std::vector<ModuleEntry>& modules) {
  Table().clear();
  for (const ModuleEntry& e : ShellModules()) Table()[e.label] = e.run;
  for (const ModuleEntry& e : modules)
    if (e.label && e.run) Table()[e.label] = e.run;
}

ModuleFunction ModuleForLabel(const std::string& label) {
  if (Table().empty()) SetModuleTable({});
  auto it = Table().find(label);
  return it == Table().end() ? nullptr : it->second;
}

bool IsMenuLabel(const std::string& label) {
  for (const MenuButtonPlace& b : kMenuButtons)
    if (label == b.label) return true;
  return false;
}
