#include "qzk/lifecycle.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "qzk/button.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/log.h"
#include "qzk/platform/platform.h"
#include "qzk/textdisplay.h"
#include "qzk/window.h"

// Some widget headers mark their create calls as printf formats; the
// option strings' bare percent signs are not conversions.
#pragma GCC diagnostic ignored "-Wformat"

namespace {
constexpr int kMaxHandlers = 100;

struct HandlerList {
  std::array<qzExitHandler, kMaxHandlers> handlers{};
  int count = 0;
  bool ran = false;

  bool add(qzExitHandler h) {
    if (!h || count >= kMaxHandlers) return false;
    handlers[count++] = h;
    return true;
  }
  void run() {
    if (ran) return;
    ran = true;
    for (int i = 0; i < count; ++i) handlers[i]();
  }
};

HandlerList g_before, g_after;
qzExitHandler g_exit_callback = nullptr;
bool g_callback_ran = false;
bool g_shut_down = false;

constexpr const char* kName = "qzk ";
constexpr const char* kVersion = "1.0 (K & M Research Workbench toolkit)";

// Writes a text file completely or not at all.
bool write_file(const char* name, const std::string& text) {
  std::string tmp = std::string(name) + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "w+b");
  if (!f) {
    qzlog("cannot write %s\n", name);
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(tmp.c_str(), name) != 0) {
    std::remove(tmp.c_str());
    qzlog("cannot write %s\n", name);
    return false;
  }
  return true;
}
}  // namespace

bool qzk_is_option(const char* argument, const char* option) {
  if (!argument || !option || std::strlen(argument) >= 50) return false;
  std::string normal;
  for (const char* c = argument; *c; ++c)
    if (!std::strchr("-+/_ ", *c)) normal += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  std::string want;
  for (const char* c = option; *c; ++c) want += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  return normal == want;
}

std::string qzk_version_text() {
  char line[256];
  std::snprintf(line, sizeof line, "%sversion: %s\n", kName, kVersion);
  return line;
}

std::string qzk_license_text() {
  return "qzk, the toolkit of the K & M Research Workbench.\n"
         "\n"
         "Permission is hereby granted, free of charge, to any person obtaining a copy\n"
         "of this software and associated documentation files, to deal in the software\n"
         "without restriction, including without limitation the rights to use, copy,\n"
         "modify, merge, publish, distribute, sublicense and/or sell copies of it,\n"
         "provided that this notice is included in all copies or substantial portions.\n"
         "\n"
         "THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR\n"
         "IMPLIED. The bitmap fonts carry the licences recorded with them.\n";
}

void qzk_init(int& argc, char** argv) {
  qzlog("qzk init.\n");
  qzlog("%d args: ", argc);
  for (int i = 0; i < argc; ++i) qzlog("%s ", argv[i] ? argv[i] : "");
  qzlog("\n");

  bool info = false, licence = false, file = false;
  int kept = argc > 0 ? 1 : 0;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (qzk_is_option(a, "qzinfo")) info = true;
    else if (qzk_is_option(a, "qzlicense")) licence = true;
    else if (qzk_is_option(a, "qzfile")) file = true;
    else argv[kept++] = argv[i];
  }
  if (kept < argc) argv[kept] = nullptr;
  argc = kept;

  if (info) {
    std::fputs(qzk_version_text().c_str(), stdout);
    if (file) write_file("qzklib_info.txt", qzk_version_text());
  }
  if (licence) {
    std::fputs(qzk_license_text().c_str(), stdout);
    if (file) write_file("qzklib_license.txt", qzk_license_text());
  }
  std::fflush(stdout);

  qzplatform_configure(argc, argv);
  qztimer_init();
  qzfont_default();
  qzfont_default_proportional();
}

int qzk_entry(int argc, char** argv, qzAppMain appMain) {
  qzk_init(argc, argv);
  int code = appMain ? appMain(argc, argv) : 0;
  g_before.run();
  // An application that only built windows: keep them alive until closed.
  if (!qzevents_ever_waited() && qzWindow::openCount() > 0) {
    while (qzrunning()) qzwait_event();
  }
  qzk_exit(code);
}

void qzk_shutdown() {
  if (g_shut_down) return;
  g_shut_down = true;
  g_before.run();
  if (g_exit_callback && !g_callback_ran) {
    g_callback_ran = true;
    g_exit_callback();
  }
  g_after.run();
  qzquit();
  // Every window before the platform under it: a window destroyed later
  // (a static one) finds it already closed and asks nothing of the platform.
  std::vector<qzWindow*> windows = qzWindow::all();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) (*it)->destroy();
  qzplatform_shutdown();
  qzlog("qzk exit\n");
}

void qzk_exit(int code) {
  qzk_shutdown();
  std::fflush(stdout);
  std::fflush(stderr);
  std::exit(code);
}

bool qzk_add_exit_handler_before(qzExitHandler handler) { return g_before.add(handler); }
bool qzk_add_exit_handler_after(qzExitHandler handler) { return g_after.add(handler); }
void qzk_set_exit_callback(qzExitHandler callback) { g_exit_callback = callback; }

void qzk_about() {
  qzWindow about;
  if (!about.create("about qzk,x=50%,y=50%,xs=550,ys=300,NoSysMenu,noquit,modal")) return;
  qzTextDisplay text;
  text.create("x=50%,y=45%,xs=90%,ys=80%,border,fontid=%d", qzfont_default());
  text.setText(qzk_version_text() + "\n" + qzk_license_text());
  qzButton dismiss;
  dismiss.create("Dismiss,x=50%,y=93%,xs=40%,default");
  dismiss.takeFocus();
  qzwait_for_one_of({dismiss.eventId(), about.closeId()});
  dismiss.destroy();
  text.destroy();
  about.destroy();
}

void qzclipboard_set(const std::string& text) { qzplatform().setClipboardText(text); }
std::string qzclipboard_get() { return qzplatform().clipboardText(); }

bool qzsound_play(const char* path) {
  if (!path || !*path) return false;
  if (!qzplatform().playSound(path)) {
    qzlog("sound not played: %s\n", path);
    return false;
  }
  return true;
}

void qzsound_stop() { qzplatform().stopSound(); }
