#include "app/output.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "app/run_state.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/graphic.h"
#include "qzk/lifecycle.h"
#include "qzk/log.h"
#include "qzk/options.h"

namespace {

int currentTextPage = 0;
int currentGraphicPage = 1;

std::string VFormat(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  int n = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (n <= 0) return "";
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<size_t>(n));
  return out;
}

// Text for the current page as it is, escapes included.
void Emit(const std::string& text) {
  MainWindow* m = Shell();
  if (!m || currentTextPage < 0 || currentTextPage > kPages) return;
  if (currentTextPage == 0)
    m->menuTerminal.write(text);
  else
    m->text[currentTextPage - 1].appendText(text);
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

void SetModuleButtonsEnabled(bool on) {
  MainWindow* m = Shell();
  if (!m) return;
  for (qzButton& b : m->modules) b.setEnabled(on);
  m->help.setEnabled(on);
}

}  // namespace

int CurrentTextPage() { return currentTextPage; }
int CurrentGraphicPage() { return currentGraphicPage; }

void TextOutput(int page) {
  MainWindow* m = Shell();
  if (page < 0 || page > kPages) {
    ChannelFailure("TextOutput", 0, kPages, page);
    return;
  }
  currentTextPage = page;
  if (!m) return;
  if (page == 0) {
    m->tabs.showPage(0);
    m->menuTerminal.clear();
  } else {
    m->tabs.showPage(kPages + page);
  }
}

void GraphicOutput(int page, int width, int height, uint32_t colour) {
  MainWindow* m = Shell();
  if (page < 1 || page > kPages) {
    ChannelFailure("GraphicOutput", 1, kPages, page);
    return;
  }
  currentGraphicPage = page;
  if (!m) return;
  m->tabs.showPage(page);
  qzScreenGraphic& canvas = m->canvas[page - 1];
  canvas.setCanvasSize(width, height);
  qzgraphic_settarget(&canvas.target());
  qzgraphic_clear(colour);
  m->graphicUsed[page - 1] = true;
  ++m->graphicChoices[page - 1];
}

void PrintOut(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = VFormat(format, args);
  va_end(args);
  Emit(text);
}

void ClearOutput() {
  MainWindow* m = Shell();
  if (!m || currentTextPage < 0 || currentTextPage > kPages) return;
  if (currentTextPage == 0)
    m->menuTerminal.clear();
  else
    m->text[currentTextPage - 1].clear();
}

void SetProgress(double percent) {
  double p = std::clamp(percent, 0.0, 100.0);
  if (MainWindow* m = Shell()) m->progress.setFraction(p / 100.0);
  ReportProgress(p);
}

void SetBusy(bool busy) {
  MainWindow* m = Shell();
  if (!m) return;
  // The status field is drawn through the graphic calls like any page;
  // the modules' current target is kept.
  qzGraphicTarget* previous = qzgraphic_target();
  qzgraphic_settarget(&m->status.target());
  int oldFont = m->status.target().font;
  qzgraphic_selectfont(qzfont_builtin("builtin 9x15 bold"));
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
  std::string text = VFormat(format, args);
  va_end(args);
  qzgraphic_text(x, y - 13, colour, "%s", text.c_str());
}
