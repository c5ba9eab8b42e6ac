#include "qzk/dialogs.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

#include "qzk/button.h"
#include "qzk/events.h"
#include "qzk/lifecycle.h"
#include "qzk/simpletext.h"
#include "qzk/window.h"

// Some widget headers mark their create calls as printf formats; the
// option strings' bare percent signs are not conversions.
#pragma GCC diagnostic ignored "-Wformat"

namespace {
constexpr int kMaxText = 1000;

std::string format_text(const char* format, va_list args) {
  char buffer[kMaxText + 1];
  int n = std::vsnprintf(buffer, sizeof buffer, format ? format : "", args);
  if (n < 0) return std::string();
  return buffer;
}

struct InfoBox {
  qzWindow window;
  qzSimpleTextDisplay text;
};
std::unique_ptr<InfoBox> g_info;

void close_info_at_exit() { g_info.reset(); }
}  // namespace

int qzmessagebox(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = format_text(format, args);
  va_end(args);
  if (!qzrunning()) return 0;

  // Closing a message box answers it; it must not end the application.
  qzWindow window;
  if (!window.create("message,x=50%,y=50%,xs=250,ys=200,nosysmenu,modal,noquit")) return 0;
  qzSimpleTextDisplay display;
  display.create("x=50%,y=35%,xs=80%,ys=60%");
  display.setText(text);
  qzButton ok;
  ok.create("OK,x=50%,y=80%,xs=80%,default");
  ok.takeFocus();
  const int closeId = window.closeId();
  int event = qzwait_for_one_of({ok.eventId(), closeId});
  ok.destroy();
  display.destroy();
  window.destroy();
  if (event == 0) return 0;
  return event == closeId ? 2 : 1;
}

void qzinfobox(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = format_text(format, args);
  va_end(args);
  if (!g_info) {
    static bool registered = false;
    if (!registered) registered = qzk_add_exit_handler_after(close_info_at_exit);
  }
  g_info = std::make_unique<InfoBox>();
  if (!g_info->window.create("info,x=50%,y=50%,xs=200,ys=100,nosysmenu,modal,noquit")) {
    g_info.reset();
    return;
  }
  g_info->text.create("x=50%,y=35%,xs=80%,ys=60%");
  g_info->text.setText(text);
  // On top, but the program goes on working under it (and builds its
  // widgets in its own windows, not in this one).
  g_info->window.setBlocksOthers(false);
  g_info->window.repaint();
}

void qzinfobox_close() { g_info.reset(); }
