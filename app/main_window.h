#pragma once
// The main window: a menu page with the module buttons, six graphic pages
// and six text pages on one tab control, the quit and help buttons, the
// progress bar and the status field. It lives in static storage for the
// whole run (tests build and destroy it once per session). It hands its
// pages to the output channels when it is built and takes them back when
// it goes; the busy/ready frame around a module is its own.
#include <array>

#include "app/modules.h"
#include "app/output.h"
#include "core/ephemeris.h"
#include "qzk/button.h"
#include "qzk/menu.h"
#include "qzk/progressbar.h"
#include "qzk/screengraphic.h"
#include "qzk/tabcontrol.h"
#include "qzk/terminal.h"
#include "qzk/textdisplay.h"
#include "qzk/window.h"

struct MainWindow {
  qzWindow window;
  qzWindowMenu fileMenu;
  int quitItem = 0;
  // The ephemeris choice: File, "Ephemeris: classic" / "Ephemeris: precise".
  int classicItem = 0;
  int preciseItem = 0;
  qzButton quit;
  qzProgressBar progress;
  qzScreenGraphic status;
  qzTabControl tabs;
  qzTerminal menuTerminal;
  std::array<qzButton, kMenuButtons.size()> modules;
  qzButton help;
  std::array<qzScreenGraphic, kPages> canvas;
  std::array<qzButton, kPages> canvasSave;
  std::array<qzTextDisplay, kPages> text;
  std::array<qzButton, kPages> textSave;
  // Graphic pages a module has drawn on (GraphicOutput) since the start-up.
  std::array<bool, kPages> graphicUsed{};
  // How often each graphic page was chosen (GraphicOutput): a batch run
  // tells by it which pages a module drew on.
  std::array<unsigned, kPages> graphicChoices{};
  bool moduleRunning = false;
};

// The main window, nullptr before BuildMainWindow and after DestroyMainWindow.
MainWindow* Shell();

// Creates the window and its widgets in their order (start-up steps 2 to
// 4, inside deferred building) and brings the Menu tab to the front.
bool BuildMainWindow();
void DestroyMainWindow();

// The ephemeris of the modules run from now on (not while one runs); the
// menu page says which.
void ChooseEphemeris(Ephemeris ephemeris);

// One event of the main loop: runs the module of a module button, the save
// dialogs of the pages, the crash help. False for the three ways to quit:
// "&Quit", the window's close box and the quit button.
bool HandleMainEvent(int event);
// Runs the module of button `index` (0..21) between ModuleBegin and ModuleEnd.
void RunMenuModule(size_t index);

// The status field: red "  B U S Y" while a module runs, green "R E A D Y"
// otherwise, drawn through the graphic calls (the current target is kept).
void SetBusy(bool busy);
// Before every module: busy, progress 0, the menu page cleared as the
// text page, the module buttons and the help button disabled.
void ModuleBegin();
// After every module: ready, the buttons enabled again.
void ModuleEnd();
// The index of the button with this label, or -1.
int MenuButtonIndex(const std::string& label);

// Writes page k (1..6) to a file: the canvas as a picture (by the file's
// extension), the text as text. False when it cannot be written.
bool SaveGraphicPage(int page, const std::string& path);
bool SaveTextPage(int page, const std::string& path);
