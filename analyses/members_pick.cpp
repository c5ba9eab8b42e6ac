#include "analyses/members_pick.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/output.h"
#include "data/open_dialogs.h"
#include "data/run_journal.h"
#include "qzk/button.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/lineinput.h"
#include "qzk/listbox.h"
#include "qzk/platform/platform.h"
#include "qzk/simpletext.h"
#include "qzk/window.h"
#include "qzk/xbase.h"

std::string PickListEntry(int number, const EventRecord& r) {
  char text[256];
  std::snprintf(text, sizeof text, "%4d  %s, %s  %d.%d.%d %02d:%02d  %s", number, r.familyName, r.firstName, r.day,
                r.month, r.year, r.hour, r.minute, r.place);
  return text;
}

std::vector<int> ParsePickedNumbers(const std::string& line, int count, std::string& rejected) {
  std::vector<int> numbers;
  std::istringstream words(line);
  std::string word;
  rejected.clear();
  while (words >> word) {
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, 10);
    bool whole = end && *end == '\0' && end != word.c_str();
    if (!whole || v < 1 || v > count) {
      rejected += (rejected.empty() ? "" : " ") + word;
      continue;
    }
    if (std::find(numbers.begin(), numbers.end(), static_cast<int>(v)) == numbers.end())
      numbers.push_back(static_cast<int>(v));
  }
  return numbers;
}

std::vector<int> PickMembers(qzXBase& table, const TableFieldMap& map, int wanted) {
  int font = qzfont_builtin("builtin 12x24");
  qzWindow window;
  window.create("Choose data,x=50%,y=50%,xs=900,ys=640,modal,noquit,nosysmenu,fontid=%d", font);
  qzSimpleTextDisplay caption;
  caption.create("x=50%,y=5%,xs=90%,ys=6%,fontid=%d", font);
  caption.setText(kPickQuestion);
  qzListBox list;
  list.create("x=50%,y=45%,xs=94%,ys=68%,fontid=%d", font);
  const int count = table.live_count();
  std::vector<std::string> entries;
  entries.reserve(count);
  for (int i = 0; i < count; ++i) entries.push_back(PickListEntry(i + 1, ReadTableMember(table, map, i)));
  list.setEntries(entries);
  qzLineInput chosen;
  chosen.create("x=50%,y=85%,xs=94%,fontid=%d", font);
  qzButton ok;
  ok.create("OK,x=50%,y=94%,xs=20%,fontid=%d", font);
  list.takeFocus();

  OpenDialog dialog{DialogKind::Double, kPickQuestion, &window, {&chosen}, {&ok}, {}, 0, 0, "", 0};
  OpenDialogScope scope(dialog);
  std::string rejected;
  for (;;) {
    int event = qzwait_event();
    if (event == 0) {
      if (qzwaits_over()) break;
      continue;
    }
    if (event == ok.eventId()) break;
    if (event == list.eventId() && list.selectedIndex() >= 0) {
      std::vector<int> numbers = ParsePickedNumbers(chosen.text(), count, rejected);
      int number = list.selectedIndex() + 1;
      if (std::find(numbers.begin(), numbers.end(), number) == numbers.end()) {
        numbers.push_back(number);
        std::string line;
        for (int n : numbers) line += (line.empty() ? "" : " ") + std::to_string(n);
        chosen.setText(line);
      }
      if (static_cast<int>(numbers.size()) >= wanted) break;
    }
  }
  std::vector<int> numbers = ParsePickedNumbers(chosen.text(), count, rejected);
  if (!rejected.empty()) PrintOut("\n not in the list, left out: %s \n", rejected.c_str());
  if (static_cast<int>(numbers.size()) > wanted) numbers.resize(wanted);
  // As a script answers it: the numbers typed into the line below the list.
  std::string answer = chosen.text();
  if (answer.find_first_not_of(" \t") == std::string::npos) answer = "0";
  JournalNoteAnswer(kPickQuestion, answer);
  for (int& n : numbers) --n;

  ok.destroy();
  chosen.destroy();
  list.destroy();
  caption.destroy();
  window.destroy();
  return numbers;
}
