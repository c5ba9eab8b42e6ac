#include "app/batch_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/answers.h"
#include "app/batch_script.h"
#include "app/main_window.h"
#include "app/module_report.h"
#include "app/output.h"
#include "app/run_state.h"
#include "app/script_driver.h"
#include "app/shell.h"
#include "core/ephemeris.h"
#include "core/worker_pool.h"
#include "qzk/events.h"
#include "qzk/lifecycle.h"
#include "qzk/log.h"
#include "qzk/platform/headless.h"
#include "qzk/random.h"

namespace {


// mkdir -p: every missing folder of the path.
bool MakeFolders(const std::string& path) {
  std::string part;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (!part.empty() && part != "." && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    if (i < path.size()) part += path[i];
  }
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

[[noreturn]] void StopRun(const std::string& message) {
  EndProgressLine();
  std::fprintf(stderr, "kmwb: %s\n", message.c_str());
  qzlog("batch stopped: %s\n", message.c_str());
  qzk_exit(kBatchOutOfStep);
}

void Click(qzWindow& window, const qzRect& r) {
  qzheadless_click(window.nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
}

// A person's way to a module: the Menu tab, then the module's button; the
// main loop takes the button's event and runs the module.
void RunModuleFromMenu(MainWindow& m, int index) {
  Click(m.window, m.tabs.tabRect(0));
  qzdispatch_pending();
  Click(m.window, m.modules[index].rect());
  for (int event; (event = qzpoll_event()) != 0;) HandleMainEvent(event);
}

// What the pages held before a module ran, to save what it changed.
struct PageSnapshot {
  std::string menu;
  std::array<std::string, kPages> text;
  std::array<unsigned, kPages> graphicChoices{};
};

PageSnapshot TakeSnapshot(const MainWindow& m) {
  PageSnapshot s;
  s.menu = m.menuTerminal.text();
  for (int k = 0; k < kPages; ++k) s.text[k] = m.text[k].text();
  s.graphicChoices = m.graphicChoices;
  return s;
}

// "02-2-Event-Analysis" for the second module of a script: letters and
// digits of the label, every other run of characters one '-'.
std::string ModuleFolderName(int index, const std::string& label) {
  char number[16];
  std::snprintf(number, sizeof number, "%02d", index);
  std::string name = number;
  bool gap = true;
  for (unsigned char c : label) {
    if (std::isalnum(c)) {
      if (gap) name += '-';
      name += static_cast<char>(c);
      gap = false;
    } else {
      gap = true;
    }
  }
  return name;
}

bool SaveText(const std::string& path, const std::string& text) {
  std::string temporary = path + ".tmp";
  std::ofstream out(temporary, std::ios::binary);
  out << text;
  out.close();
  return out.good() && std::rename(temporary.c_str(), path.c_str()) == 0;
}

// A graphic page as PNG and as SVG drawing, and as BMP when asked for.
bool SaveGraphic(int k, const std::string& dir, std::vector<std::string>& written, bool withBmp) {
  bool ok = true;
  for (const char* ext : {".png", ".svg", ".bmp"}) {
    if (!withBmp && std::string(ext) == ".bmp") continue;
    std::string path = dir + "/graphic-" + std::to_string(k) + ext;
    bool saved = SaveGraphicPage(k, path);
    if (saved) written.push_back(path);
    ok = saved && ok;
  }
  return ok;
}

// The pages one module of a longer script printed or drew on, saved as it
// ends, before the next module clears them.
bool SaveModulePages(const std::string& dir, const PageSnapshot& before, std::vector<std::string>& written,
                     bool withBmp) {
  MainWindow* m = Shell();
  if (!m || !MakeFolders(dir)) return false;
  bool ok = true;
  std::string menuText = m->menuTerminal.text();
  if (menuText != before.menu && menuText.find_first_not_of(" \n") != std::string::npos) {
    std::string path = dir + "/text-0.txt";
    bool saved = SaveText(path, menuText);
    if (saved) written.push_back(path);
    ok = saved && ok;
  }
  for (int k = 1; k <= kPages; ++k) {
    const std::string& text = m->text[k - 1].text();
    if (!text.empty() && text != before.text[k - 1]) {
      std::string path = dir + "/text-" + std::to_string(k) + ".txt";
      bool saved = SaveTextPage(k, path);
      if (saved) written.push_back(path);
      ok = saved && ok;
    }
    if (m->graphicChoices[k - 1] != before.graphicChoices[k - 1]) ok = SaveGraphic(k, dir, written, withBmp) && ok;
  }
  return ok;
}

}  // namespace

bool SaveAllPages(const std::string& dir, std::vector<std::string>& written, bool withBmp) {
  MainWindow* m = Shell();
  if (!m || !MakeFolders(dir)) return false;
  bool ok = true;
  std::string menuText = m->menuTerminal.text();
  if (menuText.find_first_not_of(" \n") != std::string::npos) {
    std::string path = dir + "/text-0.txt";
    bool saved = SaveText(path, menuText);
    if (saved) written.push_back(path);
    ok = saved && ok;
  }
  for (int k = 1; k <= kPages; ++k) {
    if (!m->text[k - 1].text().empty()) {
      std::string path = dir + "/text-" + std::to_string(k) + ".txt";
      bool saved = SaveTextPage(k, path);
      if (saved) written.push_back(path);
      ok = saved && ok;
    }
    if (m->graphicUsed[k - 1]) ok = SaveGraphic(k, dir, written, withBmp) && ok;
  }
  return ok;
}

bool BatchScriptPathUsable(const std::string& scriptPath, std::string& error) {
  struct stat st {};
  if (stat(scriptPath.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return true;
  error = "the batch script " + scriptPath +
          (S_ISDIR(st.st_mode) ? " is a folder, not a script file" : " is not a plain file");
  return false;
}

namespace {

// The last line with text on the current text page, where a module that
// stopped without a word usually says why.
std::string LastLineOnCurrentPage(const MainWindow& m) {
  const int page = CurrentTextPage();
  const std::string& text = page == 0 ? m.menuTerminal.text() : m.text[page - 1].text();
  size_t end = text.find_last_not_of(" \t\r\n");
  if (end == std::string::npos) return "";
  size_t start = text.find_last_of("\r\n", end);
  start = start == std::string::npos ? 0 : start + 1;
  start = text.find_first_not_of(" \t", start);
  return text.substr(start, end - start + 1);
}

void PrintWritten(const std::vector<std::string>& written) {
  for (const std::string& f : written) std::fprintf(stderr, "kmwb: wrote %s\n", f.c_str());
}

// A run that stops after a module has returned: its pages are saved
// first, then the reason is printed (each line of it) and logged.
int StopAfterModule(const std::string& outDir, bool withBmp, bool saved, std::vector<std::string>& written,
                    const std::vector<std::string>& reason, int status) {
  saved = SaveAllPages(outDir, written, withBmp) && saved;
  PrintWritten(written);
  if (!saved) std::fprintf(stderr, "kmwb: not every page could be written into %s\n", outDir.c_str());
  for (const std::string& line : reason) {
    std::fprintf(stderr, "kmwb: %s\n", line.c_str());
    qzlog("batch stopped: %s\n", line.c_str());
  }
  return status;
}

// The lines a batch run prints for a module that ended early or failed.
std::vector<std::string> ReportLines(const std::string& label, const ModuleReport& report) {
  std::vector<std::string> lines;
  std::string head = "\"" + label + "\" " + ModuleOutcomeName(report.outcome);
  size_t start = 0;
  const std::string& m = report.message;
  if (m.empty()) return {head};
  for (size_t end; start <= m.size(); start = end + 1) {
    end = m.find('\n', start);
    if (end == std::string::npos) end = m.size();
    lines.push_back((lines.empty() ? head + ": " : "  ") + m.substr(start, end - start));
  }
  return lines;
}

}  // namespace

int RunBatch(const std::string& scriptPath, const std::string& outDir, bool withBmp) {
  std::ifstream in(scriptPath, std::ios::binary);
  if (!in) StopRun("the batch script " + scriptPath + " cannot be read");
  std::stringstream text;
  text << in.rdbuf();
  BatchScript script;
  std::string error;
  if (!ParseBatchScript(text.str(), script, error)) StopRun(scriptPath + ", " + error);
  if (script.modules.empty()) StopRun(scriptPath + " holds no \"run\" line: there is nothing to run");
  for (const ScriptModule& module : script.modules)
    if (MenuButtonIndex(module.label) < 0)
      StopRun(scriptPath + ", line " + std::to_string(module.line) + ": no menu button is labelled \"" +
              module.label + "\"");

  std::fprintf(stderr, "kmwb: batch %s, random seed %llu, threads %d\n", scriptPath.c_str(),
               static_cast<unsigned long long>(qzrandom_current_seed()), WorkerThreads());
  std::fprintf(stderr, "kmwb: ephemeris %s\n", EphemerisName(CurrentEphemeris()));
  SetProgressEcho(isatty(2) != 0);
  AnswerQueue queue;
  MainWindow& m = *Shell();
  std::vector<std::string> written;
  bool saved = true;
  int index = 0;
  for (const ScriptModule& module : script.modules) {
    ++index;
    const PageSnapshot before = TakeSnapshot(m);
    queue.Reset(module.answers, module.line, scriptPath);
    TakeModuleReport();  // this module's report starts empty
    StartAnswering(queue, [](const std::string& message) { StopRun(message); });
    qzlog("batch: line %d: run %s\n", module.line, module.label.c_str());
    if (!ProgressEcho()) std::fprintf(stderr, "kmwb: running %s\n", module.label.c_str());
    BeginProgressLine(module.label);
    RunModuleFromMenu(m, MenuButtonIndex(module.label));
    EndProgressLine();
    StopAnswering();
    const ModuleReport report = TakeModuleReport();
    std::vector<std::string> reason;
    int status = kBatchDone;
    const std::string at = scriptPath + ", line " + std::to_string(queue.NextLine()) + ": ";
    if (report.outcome != ModuleOutcome::Finished) {
      reason = ReportLines(module.label, report);
      status = report.outcome == ModuleOutcome::Failed ? kBatchFailed : kBatchEndedEarly;
      if (!queue.Empty()) reason.push_back(at + "this answer and those after it were not used");
    } else if (!queue.Empty()) {
      reason.push_back(at + "\"" + module.label + "\" ended without asking for this answer");
      const std::string last = LastLineOnCurrentPage(m);
      if (!last.empty()) reason.push_back("its last line on the page: " + last);
      status = kBatchOutOfStep;
    } else if (!qzrunning()) {
      reason.push_back(scriptPath + ", line " + std::to_string(module.line) + ": \"" + module.label +
                       "\" waited for input that a script cannot give, or ended the program");
      status = kBatchOutOfStep;
    }
    if (script.modules.size() > 1)
      saved = SaveModulePages(outDir + "/" + ModuleFolderName(index, module.label), before, written, withBmp) && saved;
    if (status != kBatchDone) {
      const size_t notRun = script.modules.size() - static_cast<size_t>(index);
      if (notRun > 0)
        reason.push_back(notRun == 1 ? std::string("the script's last module was not run")
                                     : "the script's " + std::to_string(notRun) + " later modules were not run");
      return StopAfterModule(outDir, withBmp, saved, written, reason, status);
    }
  }
  saved = SaveAllPages(outDir, written, withBmp) && saved;
  PrintWritten(written);
  if (!saved) {
    std::fprintf(stderr, "kmwb: not every page could be written into %s\n", outDir.c_str());
    return kBatchPagesNotSaved;
  }
  std::fprintf(stderr, "kmwb: results in %s\n", outDir.c_str());
  return kBatchDone;
}
