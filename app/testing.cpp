#include "app/testing.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "app/script_driver.h"
#include "app/shell.h"
#include "qzk/events.h"
#include "qzk/lifecycle.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/window.h"

namespace {

void InitToolkitOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  static char name[] = "workbench-test", headless[] = "--headless";
  static char* argv[] = {name, headless, nullptr};
  int argc = 2;
  qzk_init(argc, argv);
}

void Click(qzWindow& window, const qzRect& r) {
  qzheadless_click(window.nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
}

}  // namespace

WorkbenchSession::WorkbenchSession(const std::vector<ModuleEntry>& modules) {
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd)) oldDir_ = cwd;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kmwb-session-XXXXXX";
  if (mkdtemp(pattern.data())) dir_ = pattern;
  if (!dir_.empty() && chdir(dir_.c_str()) != 0) dir_.clear();
  qzplatform_use_headless();
  qzheadless_set_screen(kHeadlessScreenWidth, kHeadlessScreenHeight);
  InitToolkitOnce();
  qzevents_reset();
  SetModuleTable(modules);
  StartUp(0);
}

WorkbenchSession::~WorkbenchSession() {
  StopAnswering();
  DestroyMainWindow();
  qzevents_reset();
  if (!oldDir_.empty() && chdir(oldDir_.c_str()) != 0) oldDir_.clear();
}

bool WorkbenchSession::CopyIn(const std::string& source, const std::string& name) {
  std::string target = name.empty() ? source.substr(source.find_last_of('/') + 1) : name;
  std::ifstream in(source, std::ios::binary);
  std::ofstream out(dir_ + "/" + target, std::ios::binary);
  if (!in || !out) return false;
  out << in.rdbuf();
  return out.good();
}

void WorkbenchSession::Answer(const std::string& line) {
  ScriptAnswer a;
  a.line = 0;
  size_t arrow = line.find("->");
  auto trim = [](const std::string& s) {
    size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
  };
  if (arrow == std::string::npos) {
    a.value = trim(line);
  } else {
    a.prefix = trim(line.substr(0, arrow));
    a.value = trim(line.substr(arrow + 2));
  }
  queue_.Push(a);
}

bool WorkbenchSession::Run(const std::string& label) {
  error_.clear();
  int index = MenuButtonIndex(label);
  MainWindow* m = Shell();
  if (index < 0 || !m) {
    error_ = "no menu button is labelled \"" + label + "\"";
    return false;
  }
  TakeModuleReport();
  StartAnswering(queue_, [this](const std::string& message) {
    if (error_.empty()) error_ = message;
    qzquit();
  });
  Click(m->window, m->tabs.tabRect(0));
  qzdispatch_pending();
  Click(m->window, m->modules[static_cast<size_t>(index)].rect());
  bool ran = false;
  for (int event; (event = qzpoll_event()) != 0;) {
    ran = ran || m->modules[static_cast<size_t>(index)].ownsEvent(event);
    HandleMainEvent(event);
  }
  StopAnswering();
  report_ = TakeModuleReport();
  if (!ran && error_.empty()) error_ = "the button \"" + label + "\" did not start its module";
  if (!queue_.Empty() && error_.empty())
    error_ = std::to_string(queue_.Left()) + " answer(s) left that \"" + label + "\" did not ask for";
  queue_.Clear();
  if (!qzrunning()) qzevents_reset();
  return error_.empty();
}

std::string WorkbenchSession::Text(int page) const {
  MainWindow& m = Window();
  if (page == 0) return m.menuTerminal.text();
  if (page < 1 || page > kPages) return "";
  return m.text[page - 1].text();
}

const qzPixmap& WorkbenchSession::Graphic(int page) const {
  MainWindow& m = Window();
  if (page < 1 || page > kPages) page = 1;
  return m.canvas[page - 1].target().canvas;
}

uint32_t WorkbenchSession::StatusPixel(int x, int y) const {
  MainWindow& m = Window();
  qzdispatch_pending();
  std::vector<uint32_t> pixels;
  int w = 0, h = 0;
  if (!qzheadless_pixels(m.window.nativeHandle(), pixels, w, h)) return 0xFFFFFFFF;
  const qzRect& r = m.status.rect();
  // Inside the field's border.
  int px = r.x + (r.w - 200) / 2 + x, py = r.y + (r.h - 20) / 2 + y;
  if (px < 0 || py < 0 || px >= w || py >= h) return 0xFFFFFFFF;
  return pixels[static_cast<size_t>(py) * w + px] & 0xFFFFFF;
}

MainWindow& WorkbenchSession::Window() const { return *Shell(); }
