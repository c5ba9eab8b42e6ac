// libFuzzer target of the widget option strings: any bytes as an option
// string (already formatted, and through the percent protection), cut
// into items and walked by every kind's parser, then a geometry placed in
// a parent. Built by fuzz/text_build.sh; run it in a scratch folder (the
// toolkit's log goes to the current directory).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "qzk/options.h"

namespace {

void parse_all(qzOptionList list, int start) {
  qzGeometry g;
  if (start == 0)
    qzopt_geometry(list, start, g);
  else
    qzopt_window_geometry(list, start, g);
  qzOptCommon common;
  qzopt_common(list, start, common);
  qzOptButton button;
  qzopt_button(list, start, button);
  qzOptTextColour textcolour;
  qzopt_textcolour(list, start, textcolour);
  qzOptCombo combo;
  qzopt_combo(list, start, combo);
  qzOptLineInput line;
  qzopt_lineinput(list, start, line);
  qzOptUpDown updown;
  qzopt_updown(list, start, updown);
  qzOptTabControl tabs;
  qzopt_tabcontrol(list, start, tabs);
  qzOptScrollBar scroll;
  qzopt_scrollbar(list, start, scroll);
  qzOptMenuEntry menu;
  qzopt_menuentry(list, start, menu);
  qzOptTerminal terminal;
  qzopt_terminal(list, start, terminal);
  qzOptTextDisplay display;
  qzopt_textdisplay(list, start, display);
  qzOptTextMemory memory;
  qzopt_textmemory(list, start, memory);
  qzOptGraphic graphic;
  qzopt_graphic(list, start, graphic);
  qzOptWindow window;
  qzopt_window(list, start, window);
  qzOptFileDialog file;
  qzopt_filedialog(list, start, file);
  qzOptPicture picture;
  qzopt_picture(list, start, picture);

  for (int i = 0; i < qzopt_count(list); ++i) {
    const std::string& item = qzopt_item(list, i);
    const qzOptNumber n = qzopt_number(item);
    check(std::isfinite(n.value) && std::fabs(n.value) <= 1e9);
    qzopt_int(item);
    check(qzopt_colour(item) <= 0xFFFFFF);
  }

  qzgeom_natural(g, 80, 20);
  qzgeom_place(g, 640, 480);
  check(g.width >= 0 && g.height >= 0);
  qzGeometry w = g;
  qzgeom_place_window(w, 1024, 768, 0, 0);
  check(w.width >= 0 && w.height >= 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Option strings are C strings: they end at the first zero byte.
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(std::strlen(text.c_str()));
  qzOptionList list = qzopt_from_string(text);
  check(qzopt_count(list) >= 1 || text.empty());
  qzOptionList captioned = list;
  const qzCaption caption = qzopt_caption(captioned);
  check(caption.hotkey_index < static_cast<int>(caption.text.size()));
  if (caption.hotkey_index >= 0) check(caption.hotkey != 0);
  parse_all(list, 0);
  parse_all(captioned, 1);

  // A percent protected string prints every "%" that is no conversion.
  const std::string protectedText = qzopt_protect_percent(text.c_str());
  check(protectedText.size() >= text.size());
  if (protectedText.find_first_of("%") == std::string::npos) {
    qzOptionList formatted = qzopt_prepare(protectedText.c_str());
    check(formatted.text == protectedText);
  }
  return 0;
}
