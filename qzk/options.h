#pragma once
// Option strings: the one way windows and widgets are configured.
//
// A creation call takes a printf-style option string such as
// "x=50%,y=50%,xs=650,ys=300,modal,nosysmenu,noquit" with its arguments.
// The string is prepared into a list of items (qzopt_vprepare), then each
// parser walks the list from a start index, recognises its keys and
// consumes the items it used (they become empty), so that later parsers
// do not see them again. Items that no parser recognises are ignored.
//
// The usual creation path of a widget:
//   qzOptionList list = qzopt_vprepare(format, args);
//   qzCaption cap = qzopt_caption(list);            // kinds with captions only
//   int start = cap_kind ? 1 : 0;
//   qzGeometry g;  qzopt_geometry(list, start, g);  // qzopt_window_geometry for windows
//   qzOptCommon c; qzopt_common(list, start, c);
//   qzOptButton b; qzopt_button(list, start, b);    // the kind's own keys
//   qzgeom_natural(g, natural_w, natural_h);        // before placing
//   qzgeom_place(g, parent_w, parent_h);
//
// Matching: for the comparison an item has every blank and tab removed and
// is compared case-insensitively. A key that ends in "=" matches by prefix
// and its value is the rest of the item; a flag word must equal the whole
// item. Parsers walk every item, so a later item overrides an earlier one
// of the same key (fonts excepted: the first "font=" or "fontid=" wins).
#include <cstdarg>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// ---------------------------------------------------------------- the list

// The formatted string cut at every ",". A consumed item is emptied.
struct qzOptionList {
  std::vector<std::string> items;
  std::string text;  // the formatted string the items were cut from
};

// Copies the format and doubles every "%" whose next character has a code
// below "0" (",", blank, "%", end of string), so "x=50%," keeps its percent
// sign while "%d", "%u", "%s" stay conversions. A "%n" is doubled as well:
// an option string never stores through its arguments.
// Note: conversions with flags below "0" ("%-5d", "%.2f", "% d") are
// protected too and print literally, so pass such numbers as "%s" text.
std::string qzopt_protect_percent(const char* format);

// Protects, then formats with the arguments (no length limit).
std::string qzopt_vformat(const char* format, va_list args);
// No printf format checking: "x=50%," is not a printf format.
std::string qzopt_format(const char* format, ...);

// Cuts at every ","; no quoting. "" gives an empty list, ",," an empty item.
std::vector<std::string> qzopt_split(const std::string& text);

qzOptionList qzopt_vprepare(const char* format, va_list args);
qzOptionList qzopt_prepare(const char* format, ...);
// The list of an already formatted string (no percent handling at all).
qzOptionList qzopt_from_string(const std::string& text);

// ---------------------------------------------------------------- matching

// The item with every blank and tab removed.
std::string qzopt_compact(const std::string& item);
// Case-insensitive comparisons of an item against a word (ASCII letters).
bool qzopt_equal(const std::string& compact_item, const char* word);
bool qzopt_prefix(const std::string& compact_item, const char* key);

// Consumes every item at or after `start` that equals one of the words;
// true if there was one.
bool qzopt_flag(qzOptionList& list, int start, std::initializer_list<const char*> words);

// Walks the items at or after `start`; every item that begins with one of
// the keys is consumed and its value stored (a later one overrides).
// The value is the text after the key in the original item, leading blanks
// dropped, inner blanks kept ("default=Hans Meier" gives "Hans Meier").
// Returns true if any item matched.
bool qzopt_value(qzOptionList& list, int start, std::initializer_list<const char*> keys,
                 std::string& value);
// As qzopt_value, but collects the values of every matching item in order
// (the file dialog's "filter=" may be given several times).
bool qzopt_values(qzOptionList& list, int start, std::initializer_list<const char*> keys,
                  std::vector<std::string>& values);

// Item access: the item's text, "" out of range or consumed.
const std::string& qzopt_item(const qzOptionList& list, int index);
int qzopt_count(const qzOptionList& list);
void qzopt_consume(qzOptionList& list, int index);

// ---------------------------------------------------------------- captions

struct qzCaption {
  std::string text;  // item 0 verbatim, without the hotkey "&"; "&&" shows one "&"
  int hotkey = 0;    // the character after the first single "&", lower case; 0 for none
  int hotkey_index = -1;  // byte offset of the hotkey character in text (to underline it)
};

// Caption and hotkey from a text ("&File" gives "File" and hotkey 'f').
qzCaption qzopt_caption_text(const std::string& raw);
// Item 0 of the list as caption (consumed), for buttons, windows, menus,
// menu entries, message and information boxes; parsing then starts at 1.
qzCaption qzopt_caption(qzOptionList& list);

// Hotkey by name: one character (its code, letters lower case), "space"
// 32, "return" 10, "f1".."f12" 305..316. Any other name logs the complex
// hotkey message and gives 0.
int qzopt_hotkey_name(const std::string& name);

// ---------------------------------------------------------------- numbers

enum qzOptUnit { QZ_UNIT_NONE = 0, QZ_UNIT_PIXEL = 1, QZ_UNIT_PERCENT = 2 };

struct qzOptNumber {
  double value = 0;  // finite, limited to +-1e9
  int unit = QZ_UNIT_NONE;
};

// Blanks removed, the leading decimal number read; the text after the last
// digit is the unit: "%"/"percent", "pix"/"pixel" (any case).
qzOptNumber qzopt_number(const std::string& value);
// The number truncated toward zero (integer keys).
int qzopt_int(const std::string& value);

// ---------------------------------------------------------------- geometry

struct qzGeometry {
  double x = 0, y = 0, xs = 0, ys = 0;  // as requested, pixels or percent
  bool x_pixel = true, y_pixel = true, xs_pixel = true, ys_pixel = true;
  bool x_centre = true, y_centre = true;  // cleared when the value was given in percent
  int minxs = 0, minys = 0, maxxs = 0, maxys = 0;  // pixels, 0 = no limit
  bool x_given = false, y_given = false;
  // Computed by qzgeom_place:
  int left = 0, top = 0, width = 0, height = 0;
  int W = 0, H = 0;  // the parent's client size used
};

// Parses the geometry table items (consumed) into g.
void qzopt_geometry(qzOptionList& list, int start, qzGeometry& g);
// As qzopt_geometry, for a window: x and y start at -1 (no position given).
void qzopt_window_geometry(qzOptionList& list, int start, qzGeometry& g);

// The kind's natural size, applied where xs (ys) is 0 (not given), as pixels.
void qzgeom_natural(qzGeometry& g, int natural_width, int natural_height);
// Natural sizes of the kinds that have one.
int qzgeom_button_width(int caption_width);      // caption width + 10
int qzgeom_button_height(int font_height);       // font height + 8
int qzgeom_combo_height(int font_height);        // font height + 4
int qzgeom_terminal_width(int columns, int blank_width, int scrollbar_width);  // 0 if none
int qzgeom_terminal_height(int lines, int font_height);

// Computes left, top, width and height against a parent of W x H pixels.
void qzgeom_place(qzGeometry& g, int W, int H);
// For a window against the screen: as qzgeom_place with the screen size;
// a window without x (y) goes to the work area's left (top) edge.
void qzgeom_place_window(qzGeometry& g, int screen_w, int screen_h, int work_x, int work_y);

// ---------------------------------------------------------------- colours, fonts

// "0x" + hex, a colour name ("black", "lightred", ...), else hex digits
// without prefix (unreadable text gives 0). The result is 24-bit.
uint32_t qzopt_colour(const std::string& value);
// The value of a colour name, or -1 if the name is not in the table.
int32_t qzopt_colour_name(const std::string& name);

// Full builtin font name of a short "font=" name ("6x13b" gives
// "builtin 6x13 bold"); "" for unknown names.
std::string qzopt_builtin_font_name(const std::string& short_name);
// Finds the first "font=" or "fontid=" item (consumed). Returns the font
// identifier, or default_font when there is none or the font is not found
// (logs "font not loaded/found: %s\n").
int qzopt_font(qzOptionList& list, int start, int default_font);

// ---------------------------------------------------------------- keys by kind

// Keys every widget has.
struct qzOptCommon {
  int font = 0;           // 0: the toolkit's default font
  bool nokeyfocus = false;
  int border = -1;        // -1: the kind's default; "border" 2, "noborder" 0, "border=N"
};
void qzopt_common(qzOptionList& list, int start, qzOptCommon& o);

struct qzOptButton {
  bool arrow = false, smallarrow = false, flat = false, skip = false;
  bool isdefault = false, mouserepeat = false, singleborder = false;
  int hotkey = 0;  // from "hotkey=", 0 if not given
  std::optional<uint32_t> textcolour;
};
void qzopt_button(qzOptionList& list, int start, qzOptButton& o);

// Simple text display and file dialog button: text colour only.
struct qzOptTextColour {
  std::optional<uint32_t> textcolour;
};
void qzopt_textcolour(qzOptionList& list, int start, qzOptTextColour& o);

struct qzOptCombo {
  std::vector<std::string> entries;  // "entries=a|b|c"
};
void qzopt_combo(qzOptionList& list, int start, qzOptCombo& o);

struct qzOptLineInput {
  int maxlen = 0;  // 0: no limit
  std::string text;
  bool alignright = false;
  bool keepfocus = false;
};
void qzopt_lineinput(qzOptionList& list, int start, qzOptLineInput& o);

struct qzOptUpDown {
  double min = -2147483647.0, max = 2147483647.0, step = 1, start = 0;
  bool min_given = false, max_given = false, start_given = false;
  int digits = 0;  // 0: not given
};
void qzopt_updown(qzOptionList& list, int start, qzOptUpDown& o);

struct qzOptTabControl {
  std::vector<std::string> tabs;  // "tabs=a|b" gives two pages
};
void qzopt_tabcontrol(qzOptionList& list, int start, qzOptTabControl& o);

struct qzOptScrollBar {
  bool vertical = true;
};
void qzopt_scrollbar(qzOptionList& list, int start, qzOptScrollBar& o);

struct qzOptMenuEntry {
  bool rightaligned = false;
};
void qzopt_menuentry(qzOptionList& list, int start, qzOptMenuEntry& o);

struct qzOptTerminal {
  int scrollback = 0;  // lines; "scrollback" alone gives 300
  std::optional<uint32_t> textcolour, bgcolour;
  int lines = 25, columns = 80;
  std::string logfile;  // "" for none
  bool wordbreak = false;
  bool cursor = false;
};
void qzopt_terminal(qzOptionList& list, int start, qzOptTerminal& o);

struct qzOptTextDisplay {
  int tabwidth = 8;
  bool nobreak = false;
};
void qzopt_textdisplay(qzOptionList& list, int start, qzOptTextDisplay& o);

struct qzOptTextMemory {
  bool text = false, textcolour = false, bgcolour = false, attr = false;
  int columns = 80, lines = 25;
  bool scroll = false;
  int scrollback = 0;
};
void qzopt_textmemory(qzOptionList& list, int start, qzOptTextMemory& o);

struct qzOptGraphic {
  int format = 3;  // qzPixelFormat of qzk/pixmap.h, truecolor by default
  int pxmapxs = 0, pxmapys = 0;  // 0: the widget's size
  double xstretch = 0, ystretch = 0;  // 0: none; -1: automatic ("stretch=auto")
  int colours = 0;  // palette colours, 0 = not given
  bool redraw = true;
  std::optional<uint32_t> bgcolour;
  bool fullscreen = false;
};
void qzopt_graphic(qzOptionList& list, int start, qzOptGraphic& o);

struct qzOptWindow {
  bool modal = false;
  bool sysmenu = true;
  bool noquit = false;
  bool fullscreen = false;
  std::optional<uint32_t> bgcolour;
};
void qzopt_window(qzOptionList& list, int start, qzOptWindow& o);

struct qzOptFileDialog {
  std::string title;
  std::vector<std::string> filters;  // "pattern" or "pattern|description"
  std::string dir;
  std::string defaultext;
  bool save = false;
};
void qzopt_filedialog(qzOptionList& list, int start, qzOptFileDialog& o);

struct qzOptPicture {
  int palettecode = 0;
  bool transparent = true;
};
void qzopt_picture(qzOptionList& list, int start, qzOptPicture& o);

// Splits a "|"-separated value ("a|b" gives two texts, "a" one, "" none).
std::vector<std::string> qzopt_split_bar(const std::string& value);
