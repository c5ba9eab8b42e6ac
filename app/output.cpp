#include "app/output.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "app/module_stop.h"
#include "app/run_state.h"
#include "qzk/events.h"
#include "qzk/graphic.h"
#include "qzk/lifecycle.h"
#include "qzk/log.h"
#include "qzk/progressbar.h"
#include "qzk/screengraphic.h"
#include "qzk/tabcontrol.h"
#include "qzk/terminal.h"
#include "qzk/textdisplay.h"
#include "qzk/vformat.h"

namespace {

int currentTextPage = 0;
bool stopNoted = false;
int currentGraphicPage = 1;
OutputPages pages;

// Text for the current page as it is, escapes included. A module asked to
// stop prints nothing more (it may run on a little with answers it was
// never given) except its stop note.
void EmitAlways(const std::string& text) {
  if (currentTextPage < 0 || currentTextPage > kPages) return;
  if (currentTextPage == 0) {
    if (pages.menu) pages.menu->write(text);
  } else if (qzTextDisplay* page = pages.text[currentTextPage - 1]) {
    page->appendText(text);
  }
}

void Emit(const std::string& text) {
  if (!ModuleStopRequested()) EmitAlways(text);
}

// A failure message of the output channels: shown on the current page and
// kept in the log; the page choice stays as it was.
void ChannelFailure(const char* what, int low, int high, int page) {
  char text[200];
  std::snprintf(text, sizeof text, "%s: Parameter muss zwischen %d und %d liegen !!!!!\nMit %d wird das nix.", what,
                low, high, page);
  qzlog("%s\n", text);
  Emit(std::string(text) + "\n");
}

}  // namespace

void ConnectOutputPages(const OutputPages& connected) { pages = connected; }
void DisconnectOutputPages() { pages = OutputPages(); }

int CurrentTextPage() { return currentTextPage; }
int CurrentGraphicPage() { return currentGraphicPage; }

void TextOutput(int page) {
  if (page < 0 || page > kPages) {
    ChannelFailure("TextOutput", 0, kPages, page);
    return;
  }
  if (ModuleStopRequested()) return;
  currentTextPage = page;
  if (!pages.tabs) return;
  if (page == 0) {
    pages.tabs->showPage(0);
    if (pages.menu) pages.menu->clear();
  } else {
    pages.tabs->showPage(kPages + page);
  }
}

void GraphicOutput(int page, int width, int height, uint32_t colour) {
  if (page < 1 || page > kPages) {
    ChannelFailure("GraphicOutput", 1, kPages, page);
    return;
  }
  if (ModuleStopRequested()) return;
  currentGraphicPage = page;
  qzScreenGraphic* canvas = pages.canvas[page - 1];
  if (!pages.tabs || !canvas) return;
  pages.tabs->showPage(page);
  canvas->setCanvasSize(width, height);
  qzgraphic_settarget(&canvas->target());
  qzgraphic_clear(colour);
  if (pages.graphicUsed) (*pages.graphicUsed)[page - 1] = true;
  if (pages.graphicChoices) ++(*pages.graphicChoices)[page - 1];
}

void PrintOut(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = qzvformat(format, args);
  va_end(args);
  Emit(text);
}

void ClearOutput() {
  if (ModuleStopRequested()) return;
  if (currentTextPage < 0 || currentTextPage > kPages) return;
  if (currentTextPage == 0) {
    if (pages.menu) pages.menu->clear();
  } else if (qzTextDisplay* page = pages.text[currentTextPage - 1]) {
    page->clear();
  }
}

void StopNote(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = qzvformat(format, args);
  va_end(args);
  EmitAlways(text);
  stopNoted = true;
}

bool TakeStopNoted() {
  bool noted = stopNoted;
  stopNoted = false;
  return noted;
}

void SetProgress(double percent) {
  double p = std::clamp(percent, 0.0, 100.0);
  if (pages.progress) pages.progress->setFraction(p / 100.0);
  ReportProgress(p);
}

void Pause(double seconds) {
  if (seconds > 0) qzdelay(seconds);
}

void KeepAlive() {
  using Clock = std::chrono::steady_clock;
  static Clock::time_point last;
  Clock::time_point now = Clock::now();
  if (now - last < std::chrono::milliseconds(40)) return;
  last = now;
  qzdispatch_pending();
}

void PlayModuleSound() {
  if (!qzsound_play("Tada.wav")) qzlog("Tada.wav could not be played\n");
}

void TextAt(int x, int y, uint32_t colour, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = qzvformat(format, args);
  va_end(args);
  qzgraphic_text(x, y - 13, colour, "%s", text.c_str());
}
