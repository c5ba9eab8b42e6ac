#include "app/batch_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/answers.h"
#include "app/batch_script.h"
#include "app/main_window.h"
#include "app/module_record.h"
#include "app/module_report.h"
#include "app/output.h"
#include "app/page_files.h"
#include "app/record_files.h"
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

// The graphic pages are saved as these pictures.
// A graphic page is saved as PNG and as SVG drawing, and as BMP when asked.
std::vector<std::string> PictureExtensions(bool withBmp) {
  std::vector<std::string> extensions{".png", ".svg"};
  if (withBmp) extensions.push_back(".bmp");
  return extensions;
}

// A file of an earlier run's record in `dir` (its replay.kmwb or a
// module folder's manifest.json), or "".
std::string EarlierRecord(const std::string& dir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(fs::path(dir) / "replay.kmwb", ec)) return dir + "/replay.kmwb";
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_directory(ec) && fs::exists(it->path() / "manifest.json", ec))
      return (it->path() / "manifest.json").string();
  return "";
}

// Clears what an earlier run left in `dir`: its module folders (those
// holding a manifest), its replay and its pages; other files stay.
bool RemoveEarlierRecord(const std::string& dir, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<fs::path> gone;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const bool page = name.rfind("text-", 0) == 0 || name.rfind("graphic-", 0) == 0;
    if ((it->is_directory(ec) && fs::exists(it->path() / "manifest.json", ec)) || name == "replay.kmwb" ||
        (page && it->is_regular_file(ec)))
      gone.push_back(it->path());
  }
  for (const fs::path& p : gone) {
    fs::remove_all(p, ec);
    if (ec) {
      error = p.string() + ": " + ec.message();
      return false;
    }
  }
  return true;
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

// "02-2-Event-Analysis" for the second module of a script.
std::string ModuleFolderName(int index, const std::string& label) {
  char number[16];
  std::snprintf(number, sizeof number, "%02d", index);
  const std::string name = LabelForFileName(label);
  return name.empty() ? std::string(number) : std::string(number) + "-" + name;
}

// A graphic page as PNG and as SVG drawing, and as BMP when asked for.
bool SaveGraphic(int k, const std::string& dir, std::vector<std::string>& written, bool withBmp) {
  bool ok = true;
  for (const std::string& ext : PictureExtensions(withBmp)) {
    std::string path = dir + "/graphic-" + std::to_string(k) + ext;
    bool saved = SaveGraphicPage(k, path);
    if (saved) written.push_back(path);
    ok = saved && ok;
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
                    const std::vector<std::string>& reason, int status, bool pagesSaved) {
  if (!pagesSaved) saved = SaveAllPages(outDir, written, withBmp) && saved;
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

// The replay of the modules that ran, into DIR/replay.kmwb.
bool WriteBatchReplay(const std::string& scriptPath, const std::string& outDir, const std::string& started,
                      const std::string& modules, std::vector<std::string>& written) {
  const std::string path = outDir + "/replay.kmwb";
  const std::string header = "# The batch " + scriptPath + " of " + started +
                             " again, with the answers its modules took:\n#   kmwb --batch " + path + " --seed " +
                             std::to_string(qzrandom_current_seed()) + " --ephemeris " +
                             EphemerisName(CurrentEphemeris()) + "\n";
  if (!MakeFolders(outDir) || !WriteWholeFile(path, header + modules)) return false;
  written.push_back(path);
  return true;
}

}  // namespace

int RunBatch(const std::string& scriptPath, const std::string& outDir, bool force, bool withBmp) {
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
  const std::string earlier = EarlierRecord(outDir);
  if (!earlier.empty() && !force) {
    std::fprintf(stderr,
                 "kmwb: %s holds the record of an earlier run (%s); give --force to replace it, or another "
                 "--out folder\n",
                 outDir.c_str(), earlier.c_str());
    return kBatchBadArguments;
  }
  if (!earlier.empty() && !RemoveEarlierRecord(outDir, error)) {
    std::fprintf(stderr, "kmwb: the earlier record in %s cannot be removed: %s\n", outDir.c_str(), error.c_str());
    return kBatchPagesNotSaved;
  }

  std::fprintf(stderr, "kmwb: batch %s, random seed %llu, threads %d\n", scriptPath.c_str(),
               static_cast<unsigned long long>(qzrandom_current_seed()), WorkerThreads());
  std::fprintf(stderr, "kmwb: ephemeris %s\n", EphemerisName(CurrentEphemeris()));
  SetProgressEcho(isatty(2) != 0);
  SetWindowRecords(false);
  SkipInRecords(outDir);
  const std::string started = IsoTimeUtc(std::time(nullptr));
  AnswerQueue queue;
  MainWindow& m = *Shell();
  std::vector<std::string> written;
  std::string replay;
  bool saved = true;
  int index = 0;
  const bool single = script.modules.size() == 1;
  for (const ScriptModule& module : script.modules) {
    ++index;
    const PageSnapshot before = TakePageSnapshot();
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
    // The module's record folder: its pages, then the record itself (also
    // of a module that ended early: its record says why). A script of one
    // module keeps its pages in DIR, as they always were, and its record
    // folder names them there instead of holding copies.
    const std::string folder = outDir + "/" + ModuleFolderName(index, module.label);
    std::vector<std::string> pages;
    if (single)
      saved = SaveAllPages(outDir, pages, withBmp) && saved;
    else
      saved = SaveChangedPages(folder, before, PictureExtensions(withBmp), pages) && saved;
    written.insert(written.end(), pages.begin(), pages.end());
    ModuleRecord& record = LastModuleRecord();
    if (WriteModuleRecord(record, folder, pages, error)) {
      written.push_back(folder + "/manifest.json");
    } else {
      std::fprintf(stderr, "kmwb: %s\n", error.c_str());
      saved = false;
    }
    replay += (replay.empty() ? "" : "\n") + ReplayLines(record);
    if (status != kBatchDone) {
      saved = WriteBatchReplay(scriptPath, outDir, started, replay, written) && saved;
      const size_t notRun = script.modules.size() - static_cast<size_t>(index);
      if (notRun > 0)
        reason.push_back(notRun == 1 ? std::string("the script's last module was not run")
                                     : "the script's " + std::to_string(notRun) + " later modules were not run");
      return StopAfterModule(outDir, withBmp, saved, written, reason, status, single);
    }
  }
  if (!single) saved = SaveAllPages(outDir, written, withBmp) && saved;
  saved = WriteBatchReplay(scriptPath, outDir, started, replay, written) && saved;
  PrintWritten(written);
  if (!saved) {
    std::fprintf(stderr, "kmwb: not every page could be written into %s\n", outDir.c_str());
    return kBatchPagesNotSaved;
  }
  std::fprintf(stderr, "kmwb: results in %s\n", outDir.c_str());
  return kBatchDone;
}
