// The option-string grammar: preparing, matching, captions, numbers,
// colours and the keys of the widget kinds.
#include <gtest/gtest.h>

#include <random>

#include "qzk/font.h"
#include "qzk/options.h"

TEST(OptionPrepare, PercentSignsBeforeSeparatorsStayLiteral) {
  EXPECT_EQ(qzopt_protect_percent("x=50%,y=5%"), "x=50%%,y=5%%");
  EXPECT_EQ(qzopt_protect_percent("a% b"), "a%% b");
  EXPECT_EQ(qzopt_protect_percent("fontid=%d"), "fontid=%d");
  EXPECT_EQ(qzopt_format("quit,x=90%,y=95%,xs=15%,fontid=%d", 1000011),
            "quit,x=90%,y=95%,xs=15%,fontid=1000011");
  EXPECT_EQ(qzopt_format("%s=%u%", "xs", 40u), "xs=40%");
  // "%n" never stores through an argument.
  EXPECT_EQ(qzopt_format("a%n"), "a%n");
}

TEST(OptionPrepare, FormatsBeyondAnyFixedBuffer) {
  std::string caption(20000, 'c');
  std::string text = qzopt_format("%s,xs=10", caption.c_str());
  ASSERT_EQ(text.size(), 20006u);
  qzOptionList list = qzopt_prepare("%s,xs=10", caption.c_str());
  ASSERT_EQ(qzopt_count(list), 2);
  EXPECT_EQ(qzopt_item(list, 0), caption);
}

TEST(OptionPrepare, SplitsAtEveryComma) {
  EXPECT_TRUE(qzopt_split("").empty());
  std::vector<std::string> items = qzopt_split("a,,b,");
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[1], "");
  EXPECT_EQ(items[3], "");
  EXPECT_EQ(qzopt_item(qzopt_from_string("a"), 5), "");
}

TEST(OptionMatch, BlanksRemovedCaseIgnoredPrefixForKeysWholeWordForFlags) {
  qzOptionList list = qzopt_from_string("MODAL,Modality,no quit,x=1");
  EXPECT_TRUE(qzopt_flag(list, 0, {"modal"}));
  EXPECT_EQ(qzopt_item(list, 0), "");           // consumed
  EXPECT_EQ(qzopt_item(list, 1), "Modality");  // not a whole-word match
  EXPECT_TRUE(qzopt_flag(list, 0, {"noquit"}));
  EXPECT_FALSE(qzopt_flag(list, 0, {"modal"}));  // already consumed
  std::string value;
  EXPECT_TRUE(qzopt_value(list, 0, {"X="}, value));
  EXPECT_EQ(value, "1");
}

TEST(OptionMatch, TextValuesKeepInnerBlanksAndParsingStartsAtTheIndex) {
  qzOptionList list = qzopt_from_string("default=x, default = Hans  Meier ,y");
  std::string value;
  EXPECT_TRUE(qzopt_value(list, 1, {"default="}, value));
  EXPECT_EQ(value, "Hans  Meier ");
  EXPECT_EQ(qzopt_item(list, 0), "default=x");
}

TEST(OptionCaption, AmpersandGivesHotkey) {
  qzCaption c = qzopt_caption_text("&File");
  EXPECT_EQ(c.text, "File");
  EXPECT_EQ(c.hotkey, 'f');
  EXPECT_EQ(c.hotkey_index, 0);
  c = qzopt_caption_text("Save &As");
  EXPECT_EQ(c.text, "Save As");
  EXPECT_EQ(c.hotkey, 'a');
  EXPECT_EQ(c.hotkey_index, 5);
  c = qzopt_caption_text("Fish && &Chips & more");
  EXPECT_EQ(c.text, "Fish & Chips & more");
  EXPECT_EQ(c.hotkey, 'c');
  c = qzopt_caption_text("&1 and &\xC3\x84nderung");
  EXPECT_EQ(c.hotkey, '1');  // digits are not shifted to letters
  c = qzopt_caption_text("&\xC3\x84nderung");
  EXPECT_EQ(c.hotkey, 0xE4);  // Latin-1 capital A-umlaut as lower case
  c = qzopt_caption_text("end&");
  EXPECT_EQ(c.text, "end");
  EXPECT_EQ(c.hotkey, 0);

  qzOptionList list = qzopt_from_string("  &Quit now ,x=1");
  c = qzopt_caption(list);
  EXPECT_EQ(c.text, "  Quit now ");  // verbatim with its blanks
  EXPECT_EQ(qzopt_item(list, 0), "");
}

TEST(OptionCaption, HotkeyNames) {
  EXPECT_EQ(qzopt_hotkey_name("space"), 32);
  EXPECT_EQ(qzopt_hotkey_name("Return"), 10);
  EXPECT_EQ(qzopt_hotkey_name("f1"), 305);
  EXPECT_EQ(qzopt_hotkey_name("F12"), 316);
  EXPECT_EQ(qzopt_hotkey_name("Q"), 'q');
  EXPECT_EQ(qzopt_hotkey_name("ctrl+q"), 0);
  EXPECT_EQ(qzopt_hotkey_name("f13"), 0);
  EXPECT_EQ(qzopt_hotkey_name(""), 0);
}

TEST(OptionNumber, UnitsAndTruncation) {
  EXPECT_EQ(qzopt_number(" 5 %").value, 5);
  EXPECT_EQ(qzopt_number("5%").unit, QZ_UNIT_PERCENT);
  EXPECT_EQ(qzopt_number("12.5percent").unit, QZ_UNIT_PERCENT);
  EXPECT_EQ(qzopt_number("40pix").unit, QZ_UNIT_PIXEL);
  EXPECT_EQ(qzopt_number("40PIXEL").unit, QZ_UNIT_PIXEL);
  EXPECT_EQ(qzopt_number("40").unit, QZ_UNIT_NONE);
  EXPECT_EQ(qzopt_number("100%%").unit, QZ_UNIT_PERCENT);  // a doubled sign from printf habit
  EXPECT_EQ(qzopt_number("40mm").unit, QZ_UNIT_NONE);
  EXPECT_EQ(qzopt_int("-7.9"), -7);
  EXPECT_EQ(qzopt_int("abc"), 0);
  EXPECT_EQ(qzopt_number("inf").value, 0);
  EXPECT_EQ(qzopt_number("nan%").value, 0);
  EXPECT_EQ(qzopt_number("1e300").value, 1e9);
}

TEST(OptionColour, HexNamesAndFallback) {
  EXPECT_EQ(qzopt_colour("0xFF8000"), 0xFF8000u);
  EXPECT_EQ(qzopt_colour("lightred"), 0xFF0000u);
  EXPECT_EQ(qzopt_colour("Blue"), 0x000080u);
  EXPECT_EQ(qzopt_colour("darkgrey"), 0x808080u);
  EXPECT_EQ(qzopt_colour("c0c0c0"), 0xC0C0C0u);
  EXPECT_EQ(qzopt_colour("orange"), 0u);
  EXPECT_EQ(qzopt_colour("0x123456789"), 0x456789u);  // 24 bits
  EXPECT_EQ(qzopt_colour_name("purple"), -1);
}

TEST(OptionFont, ShortNamesMapToBuiltinNames) {
  EXPECT_EQ(qzopt_builtin_font_name("6x13"), "builtin 6x13");
  EXPECT_EQ(qzopt_builtin_font_name("6x13b"), "builtin 6x13 bold");
  EXPECT_EQ(qzopt_builtin_font_name("9x15bold"), "builtin 9x15 bold");
  EXPECT_EQ(qzopt_builtin_font_name("13variable"), "builtin variable 13");
  EXPECT_EQ(qzopt_builtin_font_name("12x24"), "builtin 12x24");
  EXPECT_EQ(qzopt_builtin_font_name("7x14"), "");
}

TEST(OptionFont, UnknownFontsKeepTheDefaultAndTheFirstFontKeyWins) {
  qzOptionList list = qzopt_from_string("font=nosuchfont,fontid=12345");
  EXPECT_EQ(qzopt_font(list, 0, 77), 77);
  EXPECT_EQ(qzopt_item(list, 0), "");
  EXPECT_EQ(qzopt_item(list, 1), "fontid=12345");  // the search ended
  EXPECT_EQ(qzopt_font(list, 0, 77), 77);  // an identifier nobody registered
}

TEST(OptionKinds, CommonAndButtonKeys) {
  qzOptionList list = qzopt_from_string("noke,border=3,flat,DefaultButton,hotkey=f2,col=yellow,nofocus,x");
  qzOptCommon c;
  qzopt_common(list, 0, c);
  EXPECT_TRUE(c.nokeyfocus);
  EXPECT_EQ(c.border, 3);
  qzOptButton b;
  qzopt_button(list, 0, b);
  EXPECT_TRUE(b.flat);
  EXPECT_TRUE(b.isdefault);
  EXPECT_TRUE(b.skip);
  EXPECT_FALSE(b.arrow);
  EXPECT_EQ(b.hotkey, 306);
  EXPECT_EQ(b.textcolour.value_or(1), 0xFFFF00u);
  EXPECT_EQ(qzopt_item(list, 7), "x");  // unknown items stay, untouched

  list = qzopt_from_string("noborder");
  c = {};
  qzopt_common(list, 0, c);
  EXPECT_EQ(c.border, 0);
}

TEST(OptionKinds, EntriesAndTabs) {
  qzOptionList list = qzopt_from_string("entries=Sonne");
  qzOptCombo combo;
  qzopt_combo(list, 0, combo);
  ASSERT_EQ(combo.entries.size(), 1u);
  EXPECT_EQ(combo.entries[0], "Sonne");

  list = qzopt_from_string("tabs=Menu|Text 1");
  qzOptTabControl tabs;
  qzopt_tabcontrol(list, 0, tabs);
  ASSERT_EQ(tabs.tabs.size(), 2u);
  EXPECT_EQ(tabs.tabs[1], "Text 1");
}

TEST(OptionKinds, TerminalScrollbackColoursAndFlags) {
  qzOptionList list = qzopt_from_string("scrollback,lines=20,columns=60,bgzz=0x102030,wordbreak,cursor=on");
  qzOptTerminal t;
  qzopt_terminal(list, 0, t);
  EXPECT_EQ(t.scrollback, 300);
  EXPECT_EQ(t.lines, 20);
  EXPECT_EQ(t.columns, 60);
  EXPECT_EQ(t.bgcolour.value_or(0), 0x102030u);
  EXPECT_TRUE(t.wordbreak);
  EXPECT_TRUE(t.cursor);

  list = qzopt_from_string("scrollback=200,textcol=white,logfile=run log.txt");
  t = {};
  qzopt_terminal(list, 0, t);
  EXPECT_EQ(t.scrollback, 200);
  EXPECT_EQ(t.textcolour.value_or(0), 0xFFFFFFu);
  EXPECT_EQ(t.logfile, "run log.txt");
  EXPECT_FALSE(t.cursor);
}

TEST(OptionKinds, TextDisplayMemoryWindowGraphicDialog) {
  qzOptionList list = qzopt_from_string("nobreak,tabsize=4");
  qzOptTextDisplay d;
  qzopt_textdisplay(list, 0, d);
  EXPECT_TRUE(d.nobreak);
  EXPECT_EQ(d.tabwidth, 4);

  list = qzopt_from_string("txtmem,lines=10,columns=40,scrollback=50,attrmem");
  qzOptTextMemory m;
  qzopt_textmemory(list, 0, m);
  EXPECT_TRUE(m.text);
  EXPECT_TRUE(m.attr);
  EXPECT_FALSE(m.textcolour);
  EXPECT_EQ(m.lines, 10);
  EXPECT_EQ(m.scrollback, 50);

  list = qzopt_from_string("MODAL,nosysmenu,noquit,format=server,noclose");
  qzOptWindow w;
  qzopt_window(list, 0, w);
  EXPECT_TRUE(w.modal);
  EXPECT_FALSE(w.sysmenu);
  EXPECT_TRUE(w.noquit);
  EXPECT_EQ(qzopt_item(list, 3), "format=server");

  list = qzopt_from_string("format=server,pxs=2304,pys=1500,palette,colors=1000,stretch=auto,noredraw");
  qzOptGraphic g;
  qzopt_graphic(list, 0, g);
  EXPECT_EQ(g.pxmapxs, 2304);
  EXPECT_EQ(g.pxmapys, 1500);
  EXPECT_EQ(g.format, 2);  // palette8 with more than 256 colours
  EXPECT_EQ(g.xstretch, -1);
  EXPECT_FALSE(g.redraw);
  list = qzopt_from_string("format=server,bgcol=white");
  g = {};
  qzopt_graphic(list, 0, g);
  EXPECT_EQ(g.format, 3);  // "format=server" is not a key
  EXPECT_EQ(g.bgcolour.value_or(0), 0xFFFFFFu);

  list = qzopt_from_string("save,filter=*.txt|Text files,filter=*.*,defaultext=txt,title=Save page");
  qzOptFileDialog f;
  qzopt_filedialog(list, 0, f);
  EXPECT_TRUE(f.save);
  ASSERT_EQ(f.filters.size(), 2u);
  EXPECT_EQ(f.filters[0], "*.txt|Text files");
  EXPECT_EQ(f.defaultext, "txt");
  EXPECT_EQ(f.title, "Save page");
}

TEST(OptionKinds, LineInputAndUpDown) {
  qzOptionList list = qzopt_from_string("maxlen=12,default=Berlin Mitte,align=right,keepfocus");
  qzOptLineInput l;
  qzopt_lineinput(list, 0, l);
  EXPECT_EQ(l.maxlen, 12);
  EXPECT_EQ(l.text, "Berlin Mitte");
  EXPECT_TRUE(l.alignright);
  EXPECT_TRUE(l.keepfocus);

  list = qzopt_from_string("min=1,max=12,step=0.5,def=3.5,digits=2");
  qzOptUpDown u;
  qzopt_updown(list, 0, u);
  EXPECT_EQ(u.min, 1);
  EXPECT_EQ(u.max, 12);
  EXPECT_EQ(u.step, 0.5);
  EXPECT_EQ(u.start, 3.5);
  EXPECT_EQ(u.digits, 2);
}

// Every parser on arbitrary text: nothing may crash or read out of bounds
// (run under the sanitizers to make the most of it).
TEST(OptionRobustness, RandomBytesThroughEveryParser) {
  std::mt19937 random(12345);
  const char alphabet[] = "xyspi=%,|&0123456789.- \tabcdefgmortlnuw";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    int length = static_cast<int>(random() % 200);
    for (int i = 0; i < length; ++i) {
      if (round % 2) text += static_cast<char>(random() % 255 + 1);
      else text += alphabet[random() % (sizeof alphabet - 1)];
    }
    qzOptionList list = qzopt_prepare("%s", text.c_str());
    ASSERT_EQ(list.text, text);
    qzCaption cap = qzopt_caption(list);
    (void)cap;
    qzGeometry geom;
    qzopt_window_geometry(list, 1, geom);
    qzgeom_natural(geom, 30, 20);
    qzgeom_place_window(geom, 1024, 768, 0, 24);
    EXPECT_GE(geom.width, 0);
    EXPECT_GE(geom.height, 0);
    qzOptCommon c;
    qzopt_common(list, 1, c);
    qzOptButton b;
    qzopt_button(list, 1, b);
    qzOptTerminal t;
    qzopt_terminal(list, 1, t);
    qzOptGraphic g;
    qzopt_graphic(list, 1, g);
    qzOptFileDialog f;
    qzopt_filedialog(list, 1, f);
    qzOptCombo combo;
    qzopt_combo(list, 0, combo);
  }
}

TEST(OptionFont, BuiltinFontByShortName) {
  int id = qzfont_builtin("builtin 9x15 bold");
  if (id == 0) GTEST_SKIP() << "builtin fonts not available in this build";
  qzOptionList list = qzopt_from_string("x=1, font = 9x15b ,fontid=1");
  EXPECT_EQ(qzopt_font(list, 0, 5), id);
  EXPECT_EQ(qzopt_item(list, 2), "fontid=1");
  list = qzopt_prepare("fontid=%d", id);
  EXPECT_EQ(qzopt_font(list, 0, 5), id);
}
