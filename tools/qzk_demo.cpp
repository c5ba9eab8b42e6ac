// The toolkit's demo: one window with what the toolkit offers, every event
// printed on stdout ("event <id> <what>") so that scripts can follow it.
//
//   qzk_demo                        a real window (SDL2)
//   qzk_demo --scale 2              presented at twice the size
//   qzk_demo --headless --screenshot FILE
//                                   builds the same window headless, writes
//                                   its pixels to FILE (.bmp, .ppm, .png)
//                                   and exits
//   qzk_demo --page 1               starts on the "Widgets" tab (0: "Buttons")
//
// The widgets are on two tab pages; every widget's place is printed as
// "widget <name> x y w h" after "ready", for scripts that click them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "qzk/button.h"
#include "qzk/combobox.h"
#include "qzk/filedialog.h"
#include "qzk/lineinput.h"
#include "qzk/listbox.h"
#include "qzk/progressbar.h"
#include "qzk/scrollbar.h"
#include "qzk/tabcontrol.h"
#include "qzk/updown.h"
#include "qzk/dialogs.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/lifecycle.h"
#include "qzk/log.h"
#include "qzk/menu.h"
#include "qzk/picture.h"
#include "qzk/pixmap.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/simpletext.h"
#include "qzk/window.h"

#pragma GCC diagnostic ignored "-Wformat"  // bare percent signs of option strings

namespace {

int g_startPage = 0;  // "--page N"

struct Demo {
  qzWindow window;
  qzWindowMenu file;
  int aboutId = 0, quitMenuId = 0;
  qzButton hello, greeting, flat, repeat, up, down, left, right, quit;
  qzSimpleTextDisplay status;
  int repeats = 0;
  // The "Widgets" page.
  qzTabControl tabs;
  qzComboBox month;
  qzLineInput name;
  qzListBox list;
  qzUpDownControl number, fraction;
  qzProgressBar progress;
  qzScrollBarWidget scroll;
  qzSimpleTextDisplay note;
  qzButton openFile, enable;
};

void build(Demo& d) {
  int font = qzfont_default();
  d.window.create("qzk demo,x=50%,y=50%,xs=480,ys=320");
  d.file.create(d.window, "&File");
  d.aboutId = d.file.addEntry(nullptr, nullptr, "&About");
  d.quitMenuId = d.file.addEntry(nullptr, nullptr, "&Quit");
  d.tabs.create("x=0,y=0,xs=480,ys=320,tabs=Buttons|Widgets");
  d.tabs.selectPage(0);
  // Pixel places for the first buttons, so tests know where they are.
  d.hello.create("&Hello,x=20,y=20,xs=120,ys=30,fontid=%d", font);
  d.greeting.create("Greeting box,x=160,y=20,xs=140,ys=30,default");
  d.flat.create("flat,x=320,y=20,xs=60,ys=30,flat");
  d.repeat.create("Hold me,x=20,y=70,xs=120,ys=30,mouserepeat");
  d.up.create("up,x=160,y=70,xs=30,ys=30,arrow");
  d.down.create("down,x=200,y=70,xs=30,ys=30,arrow");
  d.left.create("left,x=240,y=70,xs=30,ys=30,smallarrow");
  d.right.create("right,x=280,y=70,xs=30,ys=30,smallarrow");
  d.status.create("x=50%,y=60%,xs=90%,ys=25%,border");
  d.status.setText("Click a button; Tab moves the focus, Return presses \"Greeting box\".");

  d.tabs.selectPage(1);
  d.note.create("x=20,y=28,xs=440,ys=20");
  d.note.setText("One of each widget; every change is printed.");
  d.month.create("x=20,y=56,xs=150,entries=Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember");
  d.name.create("x=190,y=54,xs=150,maxlen=30,default=Länge und Breite");
  d.number.create("x=360,y=54,xs=100,min=0,max=59,start=7,digits=2");
  d.list.create("x=20,y=90,xs=150,ys=120,entries=Sonne|Mond|Merkur|Venus|Mars|Jupiter|Saturn|Uranus|Neptun|Pluto|IC");
  d.fraction.create("x=190,y=90,xs=100,min=0,max=1,step=0.05,start=0.4,digits=2");
  d.progress.create("x=190,y=126,xs=270,ys=16");
  d.progress.setFraction(0.4);
  d.scroll.create("hor,x=190,y=154,xs=270");
  d.scroll.setRange(100, 20, 5);
  d.openFile.create("Open file...,x=190,y=184,xs=130,ys=26");
  d.enable.create("Disable,x=330,y=184,xs=130,ys=26");
  d.tabs.selectPage(-1);

  d.quit.create("&Quit,x=84%,y=90%,xs=30%");
  d.hello.takeFocus();
  d.tabs.showPage(g_startPage);
}

void print_place(const char* name, const qzWidget& w) {
  const qzRect& r = w.rect();
  std::printf("widget %s %d %d %d %d\n", name, r.x, r.y, r.w, r.h);
}

void print_places(Demo& d) {
  print_place("hello", d.hello);
  print_place("tab-widgets", d.tabs);
  qzRect t = d.tabs.tabRect(1);
  std::printf("widget tab1 %d %d %d %d\n", t.x, t.y, t.w, t.h);
  print_place("number", d.number);
  print_place("number-up", d.number.upArrow());
  print_place("number-down", d.number.downArrow());
  print_place("open-file", d.openFile);
  print_place("enable", d.enable);
  print_place("quit", d.quit);
}

void say(Demo& d, int event, const std::string& what) {
  std::printf("event %d %s\n", event, what.c_str());
  std::fflush(stdout);
  d.status.setText("Last event: " + what);
}

int screenshot(const char* path) {
  Demo d;
  build(d);
  qzdispatch_pending();
  std::vector<uint32_t> pixels;
  qzPixmap shot;
  int w = 0, h = 0;
  if (!qzheadless_pixels(d.window.nativeHandle(), pixels, w, h) || !qzpxmap_alloc(shot, w, h, QZ_PX_TRUECOLOR)) {
    std::fprintf(stderr, "qzk_demo: no pixels to save\n");
    return 1;
  }
  shot.rgb = pixels;
  if (!qzpxmap_savetofile(shot, "%s", path)) {
    std::fprintf(stderr, "qzk_demo: cannot write %s\n", path);
    return 1;
  }
  std::printf("screenshot %s %d*%d\n", path, w, h);
  return 0;
}

int demo_main(int argc, char** argv) {
  const char* shot = nullptr;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) shot = argv[++i];
    else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc) g_startPage = std::atoi(argv[++i]);
  if (shot) {
    if (!qzplatform_is_headless()) {
      std::fprintf(stderr, "qzk_demo: --screenshot needs --headless\n");
      return 2;
    }
    return screenshot(shot);
  }

  Demo d;
  build(d);
  qzdispatch_pending();
  const qzRect& r = d.hello.rect();
  std::printf("ready %s hello %d %d %d %d\n", qzplatform().name(), r.x, r.y, r.w, r.h);
  print_places(d);
  std::fflush(stdout);
  while (qzrunning()) {
    int e = qzwait_event();
    if (e == 0) break;
    if (e == d.quit.eventId() || e == d.quitMenuId || e == d.window.closeId()) {
      say(d, e, e == d.window.closeId() ? "close" : "quit");
      break;
    }
    if (e == d.hello.eventId()) say(d, e, "Hello");
    else if (e == d.greeting.eventId()) {
      say(d, e, "Greeting box");
      qzmessagebox("Hello from the qzk toolkit.\nThe window below waits.");
    } else if (e == d.flat.eventId()) say(d, e, "flat");
    else if (e == d.repeat.eventId()) say(d, e, "Hold me " + std::to_string(++d.repeats));
    else if (e == d.up.eventId()) say(d, e, "up");
    else if (e == d.down.eventId()) say(d, e, "down");
    else if (e == d.left.eventId()) say(d, e, "left");
    else if (e == d.right.eventId()) say(d, e, "right");
    else if (e == d.tabs.eventId()) say(d, e, "tab " + d.tabs.label(d.tabs.shownPage()));
    else if (e == d.month.eventId()) say(d, e, "month " + d.month.selectedText());
    else if (e == d.name.eventId()) say(d, e, "name " + d.name.text());
    else if (e == d.number.eventId()) say(d, e, "number " + d.number.text());
    else if (e == d.fraction.eventId()) {
      d.progress.setFraction(d.fraction.doubleValue());
      say(d, e, "fraction " + d.fraction.text());
    } else if (e == d.list.eventId()) say(d, e, "list " + d.list.selectedText());
    else if (e == d.scroll.eventId()) say(d, e, "scroll " + std::to_string(d.scroll.position()));
    else if (e == d.enable.eventId()) {
      bool on = !d.month.enabled();
      for (qzWidget* w : std::initializer_list<qzWidget*>{&d.month, &d.name, &d.number, &d.list, &d.fraction,
                                                          &d.progress, &d.scroll, &d.note, &d.openFile})
        w->setEnabled(on);
      d.enable.setCaption(on ? "Disable" : "Enable");
      say(d, e, on ? "enabled" : "disabled");
    } else if (e == d.openFile.eventId()) {
      std::string path;
      bool chosen = qzfiledialog(path, "title=Open a text,filter=*.txt|Texts,filter=*|All files");
      say(d, e, chosen ? "file " + path : "file cancelled");
    } else if (e == d.aboutId) {
      say(d, e, "About");
      qzk_about();
    } else if (e < QZ_KEY_RELEASE) say(d, e, "key " + std::to_string(e));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return qzk_entry(argc, argv, demo_main); }
