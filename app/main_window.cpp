#include "app/main_window.h"

#include <cstdio>
#include <memory>

#include "app/file_choice.h"
#include "app/module_files.h"
#include "app/module_record.h"
#include "app/module_report.h"
#include "app/module_stop.h"
#include "app/page_files.h"
#include "app/output.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/graphic.h"
#include "qzk/lifecycle.h"
#include "core/ephemeris.h"
#include "qzk/log.h"
#include "qzk/options.h"
#include "qzk/picture.h"
#include "qzk/platform/platform.h"

namespace {

std::unique_ptr<MainWindow> mainWindow;

int Font(const char* name) { return qzfont_builtin(name); }

// The widgets of a tab page take their percentages from the page, the
// area below the tabs, as child windows of the page would: the option
// string is placed again against that area.
void PlaceOnPage(qzWidget& widget, const qzRect& page, bool hasCaption) {
  qzOptionList list = qzopt_from_string(widget.optionString());
  qzGeometry g;
  qzopt_geometry(list, hasCaption ? 1 : 0, g);
  qzgeom_natural(g, widget.rect().w, widget.rect().h);
  qzgeom_place(g, page.w, page.h);
  widget.setRect({page.x + g.left, page.y + g.top, g.width, g.height});
}

bool BuildPages(MainWindow& m) {
  qzRect page = m.tabs.pageRect();
  bool ok = true;
  int canvasFont = Font("builtin 12x24");
  for (int k = 1; k <= kPages; ++k) {
    m.tabs.selectPage(k);
    ok = m.canvas[k - 1].create("xs=80%,ys=95%,x=42%,y=15,border,background=white,fontid=%u", canvasFont) && ok;
    ok = m.canvasSave[k - 1].create("save as...,x=92%,y=85%,xs=10%") && ok;
    PlaceOnPage(m.canvas[k - 1], page, false);
    PlaceOnPage(m.canvasSave[k - 1], page, true);
  }
  int textFont = Font("builtin 8x16");
  for (int k = 1; k <= kPages; ++k) {
    m.tabs.selectPage(kPages + k);
    ok = m.text[k - 1].create("xs=90%,ys=80%,x=50%,y=45%,border,background=white,fontid=%d,nobreak", textFont) && ok;
    ok = m.textSave[k - 1].create("save as...,x=20%,y=95%,xs=15%") && ok;
    PlaceOnPage(m.text[k - 1], page, false);
    PlaceOnPage(m.textSave[k - 1], page, true);
  }
  return ok;
}

// The pages the output channels print and draw on.
OutputPages PagesOf(MainWindow& m) {
  OutputPages pages;
  pages.tabs = &m.tabs;
  pages.menu = &m.menuTerminal;
  for (int k = 0; k < kPages; ++k) {
    pages.text[k] = &m.text[k];
    pages.canvas[k] = &m.canvas[k];
  }
  pages.progress = &m.progress;
  pages.graphicUsed = &m.graphicUsed;
  pages.graphicChoices = &m.graphicChoices;
  return pages;
}

// The widget that had the keyboard focus when a module started: it gets
// the focus back at the end when it can take it.
qzWidget* focusBeforeModule = nullptr;

void SetModuleButtonsEnabled(bool on) {
  MainWindow* m = Shell();
  if (!m) return;
  if (!on) {
    // Disabling the focused button, or hiding its page, would hand the
    // focus to the first widget that can take it, the quit button, where
    // Return would end the program. The tab control is never hidden.
    focusBeforeModule = m->window.focus().focused();
    m->tabs.takeFocus();
  }
  for (qzButton& b : m->modules) b.setEnabled(on);
  m->help.setEnabled(on);
  if (on) {
    qzWidget* before = focusBeforeModule;
    focusBeforeModule = nullptr;
    bool known = before == &m->help;
    for (qzButton& b : m->modules) known = known || before == &b;
    if (known && before->canTakeFocus()) before->takeFocus();
    else if (m->window.focus().focused() == &m->quit || !m->window.focus().focused()) m->tabs.takeFocus();
  }
}

// A dialog of the running module is open: a modal window above the main one.
bool ModuleDialogOpen(const MainWindow& m) {
  for (qzWindow* w : qzWindow::all())
    if (w != &m.window && w->blocksOthers()) return true;
  return false;
}

// The close box of a dialog (a modal window other than the main one).
bool IsDialogClose(const MainWindow& m, int event) {
  for (qzWindow* w : qzWindow::all())
    if (w != &m.window && w->modal() && event == w->closeId()) return true;
  return false;
}

// While a module runs the main loop reads no events; this sees each one as
// it is posted, whichever loop waits: a quit ends the module and then the
// program, Escape or a dialog's close box cancels the module, Escape or a
// click on the busy field while it computes stops it.
void WatchModuleEvent(int event) {
  MainWindow* m = Shell();
  if (!m || !m->moduleRunning) return;
  if (event == m->quitItem || event == m->window.closeId() || event == m->quit.eventId()) {
    RequestModuleStop(ModuleStop::Quit);
    qzquit();
  } else if (event == QZ_KEY_ESCAPE) {
    RequestModuleStop(ModuleDialogOpen(*m) ? ModuleStop::Cancelled : ModuleStop::Stopped);
  } else if (IsDialogClose(*m, event)) {
    RequestModuleStop(ModuleStop::Cancelled);
  } else if (event == m->status.eventId()) {
    RequestModuleStop(ModuleStop::Stopped);
  } else {
    return;
  }
  qzgraphic_settarget(nullptr);  // nothing more is drawn on the module's pages
  qzwait_interrupt(true);
}

// After a module that was asked to stop: its files as they were, a line
// saying so on its text page, the waits going again.
void FinishStoppedModule() {
  const ModuleStop why = ModuleStopReason();
  const int files = KeptFileCount();
  const bool restored = RestoreKeptFiles();
  qzwait_interrupt(false);
  ClearModuleStop();
  qzlog("module ended early (%s); %d working file(s) put back\n",
        why == ModuleStop::Quit ? "quit" : why == ModuleStop::Cancelled ? "cancelled" : "stopped", files);
  const bool noted = TakeStopNoted();
  ModuleEndedEarly(why == ModuleStop::Quit ? "ended by quitting" : why == ModuleStop::Cancelled ? "cancelled" : "stopped");
  if (why == ModuleStop::Quit) return;
  if (why == ModuleStop::Cancelled) PrintOut("\n cancelled \n");
  else if (!noted) PrintOut("\n stopped \n");
  if (!restored) PrintOut("\n a working file could not be put back as it was (see qzk.log) \n");
}

void SaveWithDialog(int page, bool graphic) {
  std::string path;
  // A graphic page as a BMP or PNG picture or an SVG drawing, by the name's extension.
  const char* pictures = "save,filter=*.bmp|BMP picture,filter=*.png|PNG picture,filter=*.svg|SVG drawing,"
                         "filter=*.bmp;*.png;*.svg|All pictures,defaultext=bmp";
  if (!ChooseFile(path, graphic ? pictures : "save,filter=*.txt,defaultext=txt")) return;
  bool ok = graphic ? SaveGraphicPage(page, path) : SaveTextPage(page, path);
  if (!ok) qzlog("could not write %s\n", path.c_str());
}

// A module run in the window leaves its record under records/; the menu
// page says where (below what the module printed there).
void WriteWindowRecord(ModuleRecord& record, const PageSnapshot& before) {
  MainWindow* m = Shell();
  const std::string folder = WindowRecordFolder(record.label, record.finished);
  std::vector<std::string> pages;
  bool ok = SaveChangedPages(folder, before, {".png", ".svg"}, pages);
  std::string error;
  ok = WriteModuleRecord(record, folder, pages, error) && ok;
  if (!ok) {
    qzlog("record %s: %s\n", folder.c_str(), error.empty() ? "a page could not be saved" : error.c_str());
    m->menuTerminal.write("\n The record could not be written completely: " +
                          (error.empty() ? folder : error) + "\n");
    return;
  }
  qzlog("record written: %s\n", folder.c_str());
  m->menuTerminal.write("\n record: " + folder + "\n");
}

}  // namespace

MainWindow* Shell() { return mainWindow.get(); }

bool BuildMainWindow() {
  // The widgets must go before the toolkit's own state at the end of the
  // run, whichever way the run ends.
  static bool exitHandlerAdded = qzk_add_exit_handler_before(DestroyMainWindow);
  (void)exitHandlerAdded;
  mainWindow = std::make_unique<MainWindow>();
  MainWindow& m = *mainWindow;
  bool ok = m.window.create("Research-Program Institut K & M,xs=95%,ys=95%,noquit,noclose");
  // Item 0 loses its first "&" as a hotkey mark; a title has no hotkey,
  // and "K & M" is the institute's name.
  m.window.setTitle("Research-Program Institut K & M");
  ok = m.fileMenu.create(m.window, "&File") && ok;
  m.quitItem = m.fileMenu.addEntry(nullptr, nullptr, "&Quit");
  m.classicItem = m.fileMenu.addEntry(nullptr, nullptr, "Ephemeris: &classic");
  m.preciseItem = m.fileMenu.addEntry(nullptr, nullptr, "Ephemeris: &precise");
  int bold9 = Font("builtin 9x15 bold");
  ok = m.quit.create("quit,x=90%,y=95%,xs=15%,fontid=%d", bold9) && ok;
  // The three ways to quit and the busy field work while a dialog waits.
  m.window.setLiveUnderModal(true);
  m.quit.setLiveUnderModal(true);
  ok = m.progress.create("x=25%,y=95%,xs=45%,ys=3%") && ok;
  ok = m.status.create("format=server,x=65%,y=95%,xs=200,ys=20,border") && ok;
  m.status.setLiveUnderModal(true);
  SetBusy(false);
  ok = m.tabs.create("x=50%,y=46%,xs=100%,ys=92%,tabs=Menu|Graphic 1|Graphic 2|Graphic 3|Graphic 4|Graphic 5|"
                     "Graphic 6|Text 1|Text 2|Text 3|Text 4|Text 5|Text 6,fontid=%d",
                     Font("builtin 8x16 bold")) && ok;
  qzRect page = m.tabs.pageRect();
  m.tabs.selectPage(0);
  ok = m.menuTerminal.create("x=35%,y=40%,xs=65%,ys=70%,fontid=%d,scrollback=200", Font("builtin 9x15")) && ok;
  PlaceOnPage(m.menuTerminal, page, false);
  for (size_t i = 0; i < kMenuButtons.size(); ++i) {
    ok = m.modules[i].create("%s,x=84%,y=%s,xs=30%,fontid=%d", kMenuButtons[i].label, kMenuButtons[i].y, bold9) && ok;
    PlaceOnPage(m.modules[i], page, true);
  }
  ok = m.help.create("Help when the program crashes,x=15%,y=95%,xs=15%,fontid=%d", bold9) && ok;
  PlaceOnPage(m.help, page, true);
  ok = BuildPages(m) && ok;
  m.window.setCurrentPage(nullptr);
  m.tabs.showPage(0);
  ConnectOutputPages(PagesOf(m));
  qzevent_set_watcher(WatchModuleEvent);
  if (!ok) qzlog("main window: a widget could not be created\n");
  return ok;
}

void ChooseEphemeris(Ephemeris ephemeris) {
  MainWindow* m = Shell();
  if (!m || m->moduleRunning) return;
  SetCurrentEphemeris(ephemeris);
  qzlog("ephemeris in use: %s\n", EphemerisName(ephemeris));
  m->menuTerminal.print("\nEphemeris: %s\n", EphemerisName(ephemeris));
}

void DestroyMainWindow() {
  if (!mainWindow) return;
  qzevent_set_watcher(nullptr);
  DisconnectOutputPages();
  qzgraphic_settarget(nullptr);
  mainWindow->window.destroy();
  mainWindow.reset();
}

void SetBusy(bool busy) {
  MainWindow* m = Shell();
  if (!m) return;
  qzGraphicTarget* previous = qzgraphic_target();
  qzgraphic_settarget(&m->status.target());
  int oldFont = m->status.target().font;
  qzgraphic_selectfont(Font("builtin 9x15 bold"));
  if (busy) {
    qzgraphic_fillrect(0, 0, 200, 20, 0xFF0000);
    qzgraphic_text(50, 3, 0x000000, "  B U S Y");
  } else {
    qzgraphic_fillrect(0, 0, 200, 20, 0x00FF00);
    qzgraphic_text(55, 3, 0x000000, "R E A D Y");
  }
  qzgraphic_selectfont(oldFont);
  qzgraphic_settarget(previous);
}

void ModuleBegin() {
  SetBusy(true);
  SetProgress(0);
  TextOutput(0);
  SetModuleButtonsEnabled(false);
}

void ModuleEnd() {
  SetBusy(false);
  SetModuleButtonsEnabled(true);
}

int MenuButtonIndex(const std::string& label) {
  for (size_t i = 0; i < kMenuButtons.size(); ++i)
    if (label == kMenuButtons[i].label) return static_cast<int>(i);
  return -1;
}

void RunMenuModule(size_t index) {
  MainWindow* m = Shell();
  if (!m || index >= kMenuButtons.size() || m->moduleRunning) return;
  m->moduleRunning = true;
  ClearModuleStop();
  TakeStopNoted();
  const char* label = kMenuButtons[index].label;
  const PageSnapshot before = TakePageSnapshot();
  // In the window nobody else takes the module's report: what an earlier
  // module reported is no part of this one's record.
  if (WindowRecords()) TakeModuleReport();
  BeginModuleRecord(label);
  BeginKeepingFiles();
  ModuleBegin();
  qzlog("module %s, ephemeris %s\n", label, EphemerisName(CurrentEphemeris()));
  if (ModuleFunction run = ModuleForLabel(label))
    run();
  else
    ReportNotInThisVersion(label);
  if (ModuleStopRequested()) FinishStoppedModule();
  else ForgetKeptFiles();
  ModuleEnd();
  qzlog("module done: %s\n", label);
  ModuleRecord record = EndModuleRecord();
  // Also when the module ended by quitting: the program ends after it.
  if (WindowRecords()) WriteWindowRecord(record, before);
  m->moduleRunning = false;
}

bool HandleMainEvent(int event) {
  MainWindow* m = Shell();
  if (!m) return false;
  if (event == m->quitItem || event == m->window.closeId() || event == m->quit.eventId()) return false;
  if (event == m->classicItem || event == m->preciseItem) {
    ChooseEphemeris(event == m->preciseItem ? Ephemeris::Precise : Ephemeris::Classic);
    return true;
  }
  for (size_t i = 0; i < m->modules.size(); ++i)
    if (event == m->modules[i].eventId()) {
      RunMenuModule(i);
      return true;
    }
  for (int k = 1; k <= kPages; ++k) {
    if (event == m->canvasSave[k - 1].eventId()) SaveWithDialog(k, true);
    if (event == m->textSave[k - 1].eventId()) SaveWithDialog(k, false);
  }
  if (event == m->help.eventId()) ShowCrashHelp();
  return true;
}

bool SaveGraphicPage(int page, const std::string& path) {
  MainWindow* m = Shell();
  if (!m || page < 1 || page > kPages) return false;
  return qzgraphic_savetarget(m->canvas[page - 1].target(), path);
}

bool SaveTextPage(int page, const std::string& path) {
  MainWindow* m = Shell();
  if (!m || page < 1 || page > kPages) return false;
  return m->text[page - 1].save(path.c_str());
}
