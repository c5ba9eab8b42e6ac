// The keys of each widget kind.
#include <array>
#include <cstdlib>

#include "qzk/options.h"

static double real_value(const std::string& value) { return qzopt_number(value).value; }

void qzopt_common(qzOptionList& list, int start, qzOptCommon& o) {
  o.font = qzopt_font(list, start, o.font);
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    std::string item = qzopt_compact(qzopt_item(list, i));
    if (item.empty()) continue;
    // "nokeyfocus" is recognised by its first four letters.
    if (qzopt_prefix(item, "noke")) {
      o.nokeyfocus = true;
    } else if (qzopt_equal(item, "border")) {
      o.border = 2;
    } else if (qzopt_equal(item, "noborder")) {
      o.border = 0;
    } else if (qzopt_prefix(item, "border=")) {
      o.border = qzopt_int(item.substr(7));
    } else {
      continue;
    }
    qzopt_consume(list, i);
  }
}

static void text_colour(qzOptionList& list, int start, std::optional<uint32_t>& colour) {
  std::string value;
  if (qzopt_value(list, start, {"color=", "col=", "txtcol=", "textcol=", "textcolor="}, value))
    colour = qzopt_colour(value);
}

void qzopt_button(qzOptionList& list, int start, qzOptButton& o) {
  if (qzopt_flag(list, start, {"arrow"})) o.arrow = true;
  if (qzopt_flag(list, start, {"smallarrow"})) o.smallarrow = true;
  if (qzopt_flag(list, start, {"flat"})) o.flat = true;
  if (qzopt_flag(list, start, {"skip", "nofocus"})) o.skip = true;
  if (qzopt_flag(list, start, {"default", "defaultbutton"})) o.isdefault = true;
  if (qzopt_flag(list, start, {"mouserepeat"})) o.mouserepeat = true;
  if (qzopt_flag(list, start, {"singleborder"})) o.singleborder = true;
  std::string value;
  if (qzopt_value(list, start, {"hotkey="}, value)) o.hotkey = qzopt_hotkey_name(qzopt_compact(value));
  text_colour(list, start, o.textcolour);
}

void qzopt_textcolour(qzOptionList& list, int start, qzOptTextColour& o) {
  text_colour(list, start, o.textcolour);
}

void qzopt_combo(qzOptionList& list, int start, qzOptCombo& o) {
  std::string value;
  if (qzopt_value(list, start, {"entries="}, value)) o.entries = qzopt_split_bar(value);
}

void qzopt_lineinput(qzOptionList& list, int start, qzOptLineInput& o) {
  std::string value;
  if (qzopt_value(list, start, {"maxlen="}, value)) {
    o.maxlen = qzopt_int(value);
    if (o.maxlen < 0) o.maxlen = 0;
  }
  if (qzopt_value(list, start, {"default="}, value)) o.text = value;
  if (qzopt_flag(list, start, {"align=right", "alignright", "rightalign"})) o.alignright = true;
  if (qzopt_flag(list, start, {"nofocusswitchwithenter", "keepfocus"})) o.keepfocus = true;
}

void qzopt_updown(qzOptionList& list, int start, qzOptUpDown& o) {
  std::string value;
  if (qzopt_value(list, start, {"min="}, value)) {
    o.min = real_value(value);
    o.min_given = true;
  }
  if (qzopt_value(list, start, {"max="}, value)) {
    o.max = real_value(value);
    o.max_given = true;
  }
  if (qzopt_value(list, start, {"step="}, value)) o.step = real_value(value);
  if (qzopt_value(list, start, {"default=", "def=", "start="}, value)) {
    o.start = real_value(value);
    o.start_given = true;
  }
  if (qzopt_value(list, start, {"digits="}, value)) o.digits = qzopt_int(value);
}

void qzopt_tabcontrol(qzOptionList& list, int start, qzOptTabControl& o) {
  std::string value;
  if (qzopt_value(list, start, {"tabs=", "tabulators="}, value)) o.tabs = qzopt_split_bar(value);
}

void qzopt_scrollbar(qzOptionList& list, int start, qzOptScrollBar& o) {
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    std::string item = qzopt_compact(qzopt_item(list, i));
    if (qzopt_equal(item, "vert") || qzopt_equal(item, "vertical")) o.vertical = true;
    else if (qzopt_equal(item, "hor") || qzopt_equal(item, "horizontal")) o.vertical = false;
    else continue;
    qzopt_consume(list, i);
  }
}

void qzopt_menuentry(qzOptionList& list, int start, qzOptMenuEntry& o) {
  if (qzopt_flag(list, start, {"rightaligned", "align=right", "alignright", "right"}))
    o.rightaligned = true;
}

static void background_colour(qzOptionList& list, int start, std::optional<uint32_t>& colour) {
  std::string value;
  if (qzopt_value(list, start, {"bgcol=", "bgcolor=", "backgroundcolor=", "background="}, value))
    colour = qzopt_colour(value);
}

void qzopt_terminal(qzOptionList& list, int start, qzOptTerminal& o) {
  std::string value;
  if (qzopt_flag(list, start, {"scrollback"})) o.scrollback = 300;
  if (qzopt_value(list, start, {"scrollback="}, value)) o.scrollback = qzopt_int(value);
  if (o.scrollback < 0) o.scrollback = 0;
  if (qzopt_value(list, start, {"textcolor=", "txtcolor=", "textcol=", "txtcol="}, value))
    o.textcolour = qzopt_colour(value);
  // The background keys, and any other item that begins with "bg" and has
  // a value ("bgc=", "bg="); the value is the text after the first "=".
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    std::string item = qzopt_compact(qzopt_item(list, i));
    size_t eq = item.find('=');
    if (eq == std::string::npos) continue;
    if (!qzopt_prefix(item, "bg") && !qzopt_prefix(item, "backgroundcolor=") &&
        !qzopt_prefix(item, "backgroundcol=") && !qzopt_prefix(item, "background="))
      continue;
    o.bgcolour = qzopt_colour(item.substr(eq + 1));
    qzopt_consume(list, i);
  }
  if (qzopt_value(list, start, {"lines="}, value)) o.lines = qzopt_int(value);
  if (qzopt_value(list, start, {"columns="}, value)) o.columns = qzopt_int(value);
  if (qzopt_value(list, start, {"logfile="}, value)) o.logfile = value;
  if (qzopt_flag(list, start, {"wordbreak"})) o.wordbreak = true;
  if (qzopt_flag(list, start, {"cursor", "cursor=on", "cursor=1", "cursoron"})) o.cursor = true;
}

void qzopt_textdisplay(qzOptionList& list, int start, qzOptTextDisplay& o) {
  std::string value;
  if (qzopt_value(list, start, {"tab=", "tabs=", "tabsize=", "tabwidth="}, value))
    o.tabwidth = qzopt_int(value);
  if (qzopt_flag(list, start, {"nobreak"})) o.nobreak = true;
}

void qzopt_textmemory(qzOptionList& list, int start, qzOptTextMemory& o) {
  if (qzopt_flag(list, start, {"textmemory", "textmem", "txtmemory", "txtmem"})) o.text = true;
  if (qzopt_flag(list, start, {"textcolormemory", "textcolormem", "txtcolormemory", "txtcolormem"}))
    o.textcolour = true;
  if (qzopt_flag(list, start, {"bgcolormemory", "bgcolormem"})) o.bgcolour = true;
  if (qzopt_flag(list, start, {"attrmemory", "attrmem", "attributememory", "attributemem"}))
    o.attr = true;
  std::string value;
  if (qzopt_value(list, start, {"columns="}, value)) o.columns = qzopt_int(value);
  if (qzopt_value(list, start, {"lines="}, value)) o.lines = qzopt_int(value);
  if (qzopt_flag(list, start, {"scroll"})) o.scroll = true;
  if (qzopt_value(list, start, {"scrollback="}, value)) o.scrollback = qzopt_int(value);
}

namespace {

struct FormatName {
  const char* name;
  int format;  // qzPixelFormat
};

// Pixel formats by name; the values are those of qzk/pixmap.h.
constexpr std::array<FormatName, 9> format_names = {{
    {"palette", 1}, {"palette8", 1}, {"palette_8", 1}, {"indexed", 1},
    {"palette16", 2}, {"palette_16", 2}, {"truecolor", 3}, {"server", 4}, {"screen", 5},
}};

int format_by_name(const std::string& name) {
  for (const FormatName& f : format_names)
    if (qzopt_equal(name, f.name)) return f.format;
  return 0;
}

enum class PixKey { Xs, Ys, Stretch, XStretch, YStretch, Colours, Type };

struct PixRow {
  const char* word;
  PixKey key;
};

// Matched by prefix in this order.
constexpr std::array<PixRow, 44> pixmap_table = {{
    {"pxmapxs=", PixKey::Xs}, {"pxmap_xs=", PixKey::Xs}, {"pixmapxs=", PixKey::Xs},
    {"pixmap_xs=", PixKey::Xs}, {"bitmapxs=", PixKey::Xs}, {"bitmap_xs=", PixKey::Xs},
    {"bmpxs=", PixKey::Xs}, {"bmp_xs=", PixKey::Xs}, {"pxs=", PixKey::Xs},
    {"pxmapys=", PixKey::Ys}, {"pxmap_ys=", PixKey::Ys}, {"pixmapys=", PixKey::Ys},
    {"pixmap_ys=", PixKey::Ys}, {"bitmapys=", PixKey::Ys}, {"bitmap_ys=", PixKey::Ys},
    {"bmpys=", PixKey::Ys}, {"bmp_ys=", PixKey::Ys}, {"pys=", PixKey::Ys},
    {"stretch=", PixKey::Stretch},
    {"xstretch=", PixKey::XStretch}, {"x_stretch=", PixKey::XStretch},
    {"stretchx=", PixKey::XStretch}, {"stretch_x=", PixKey::XStretch},
    {"ystretch=", PixKey::YStretch}, {"y_stretch=", PixKey::YStretch},
    {"stretchy=", PixKey::YStretch}, {"stretch_y=", PixKey::YStretch},
    {"colors=", PixKey::Colours}, {"pxmapcolors=", PixKey::Colours},
    {"pixmapcolors=", PixKey::Colours}, {"pxmap_colors=", PixKey::Colours},
    {"pixmap_colors=", PixKey::Colours}, {"bitmapcolors=", PixKey::Colours},
    {"bitmap_colors=", PixKey::Colours}, {"bmpcolors=", PixKey::Colours},
    {"bmp_colors=", PixKey::Colours},
    {"pxmap=", PixKey::Type}, {"pixmap=", PixKey::Type}, {"bmp=", PixKey::Type},
    {"bitmap=", PixKey::Type}, {"pxmaptype=", PixKey::Type}, {"pixmaptype=", PixKey::Type},
    {"bmptype=", PixKey::Type}, {"bitmaptype=", PixKey::Type},
}};

double stretch_value(const std::string& value) {
  if (qzopt_equal(value, "auto")) return -1;
  return qzopt_number(value).value;
}

void apply_pixmap_key(qzOptGraphic& o, PixKey key, const std::string& value) {
  switch (key) {
    case PixKey::Xs: o.pxmapxs = qzopt_int(value); break;
    case PixKey::Ys: o.pxmapys = qzopt_int(value); break;
    case PixKey::Stretch: o.xstretch = o.ystretch = stretch_value(value); break;
    case PixKey::XStretch: o.xstretch = stretch_value(value); break;
    case PixKey::YStretch: o.ystretch = stretch_value(value); break;
    case PixKey::Colours: o.colours = qzopt_int(value); break;
    case PixKey::Type: {
      int format = format_by_name(value);
      if (format != 0) o.format = format;
      break;
    }
  }
}

}  // namespace

void qzopt_graphic(qzOptionList& list, int start, qzOptGraphic& o) {
  // A bare format word sets the format first; a pixmap-type key may change it.
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    int format = format_by_name(qzopt_compact(qzopt_item(list, i)));
    if (format == 0) continue;
    o.format = format;
    qzopt_consume(list, i);
  }
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    std::string item = qzopt_compact(qzopt_item(list, i));
    if (item.empty()) continue;
    for (const PixRow& row : pixmap_table) {
      if (!qzopt_prefix(item, row.word)) continue;
      apply_pixmap_key(o, row.key, item.substr(std::string(row.word).size()));
      qzopt_consume(list, i);
      break;
    }
  }
  if (o.pxmapxs < 0) o.pxmapxs = 0;
  if (o.pxmapys < 0) o.pxmapys = 0;
  if (o.format == 1 && o.colours > 256) o.format = 2;
  if (qzopt_flag(list, start, {"drawoff", "noredraw", "norefresh", "redraw=0", "refresh=0",
                               "redraw=off", "refresh=off"}))
    o.redraw = false;
  background_colour(list, start, o.bgcolour);
  if (qzopt_flag(list, start, {"fullscreen"})) o.fullscreen = true;
}

void qzopt_window(qzOptionList& list, int start, qzOptWindow& o) {
  if (qzopt_flag(list, start, {"modal"})) o.modal = true;
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    std::string item = qzopt_compact(qzopt_item(list, i));
    if (qzopt_equal(item, "nosysmenu") || qzopt_equal(item, "sysmenu=0") ||
        qzopt_equal(item, "nosystemmenu") || qzopt_equal(item, "systemmenu=0"))
      o.sysmenu = false;
    else if (qzopt_equal(item, "sysmenu") || qzopt_equal(item, "sysmenu=1") ||
             qzopt_equal(item, "systemmenu") || qzopt_equal(item, "systemmenu=1"))
      o.sysmenu = true;
    else
      continue;
    qzopt_consume(list, i);
  }
  if (qzopt_flag(list, start, {"noquit"})) o.noquit = true;
  if (qzopt_flag(list, start, {"fullscreen"})) o.fullscreen = true;
  background_colour(list, start, o.bgcolour);
}

void qzopt_filedialog(qzOptionList& list, int start, qzOptFileDialog& o) {
  std::string value;
  if (qzopt_value(list, start, {"title=", "caption="}, value)) o.title = value;
  qzopt_values(list, start, {"filter="}, o.filters);
  if (qzopt_value(list, start, {"dir=", "directory="}, value)) o.dir = value;
  if (qzopt_value(list, start, {"defaultext=", "defaultextension=", "extension=", "ext="}, value))
    o.defaultext = value;
  if (qzopt_flag(list, start, {"save", "savedialog"})) o.save = true;
}

void qzopt_picture(qzOptionList& list, int start, qzOptPicture& o) {
  std::string value;
  if (qzopt_value(list, start, {"palettecode="}, value)) o.palettecode = qzopt_int(value);
  if (qzopt_flag(list, start, {"transparent=0", "transparency=0", "notransparent", "notransparency"}))
    o.transparent = false;
}
