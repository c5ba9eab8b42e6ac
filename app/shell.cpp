#include "app/shell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <unistd.h>

#include "app/batch_run.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/module_stop.h"
#include "app/output.h"
#include "core/core_print.h"
#include "core/worker_pool.h"
#include "data/record_messages.h"
#include "data/run_journal.h"
#include "qzk/dialogs.h"
#include "qzk/events.h"
#include "qzk/graphic.h"
#include "qzk/lifecycle.h"
#include "qzk/log.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/random.h"
#include "qzk/window.h"

namespace {

std::vector<ModuleEntry> moduleTable;
std::unique_ptr<WaveTables> waveTables;
int filledOrders = 0;

constexpr const char* kDemoScript = "demo.kmwb";
constexpr const char* kUsage =
    "kmwb [--headless] [--threads N] [--ephemeris classic|precise] "
    "[--batch SCRIPT [--out DIR] [--seed N] [--bmp] [--force]]   (kmwb --help: every command)";
constexpr const char* kDemoResults = "demo-results";

// Person and event messages ("error opening ...") in a message box, or on
// the current page while a script answers the dialogs.
void ShowRecordMessageInShell(const char* message) {
  qzlog("%s\n", message);
  JournalNoteMessage(message);
  if (Shell())
    qzmessagebox("%s", message);
  else
    std::fprintf(stderr, "%s\n", message);
}

bool noDisplay = false;

// The core's lines (body names, "Test tafeln" diagnostics, quadrant
// errors) go to the current text page while the main window lives.
void PrintCoreLine(const char* text) {
  if (Shell())
    PrintOut("%s", text);
  else
    std::fputs(text, stderr);
}

// Whether a display can be reached at all. SDL may fall back to its
// "offscreen" driver when there is none, which shows nothing; on Linux
// the environment tells beforehand.
bool DisplayReachable() {
#if defined(__linux__)
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) return false;
  if (driver && *driver) return true;
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
#else
  return true;
#endif
}

// A number of worker threads as written: digits only, 1..kMaxWorkerThreads.
bool ThreadCount(const std::string& text, int& threads) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  threads = std::stoi(text);
  return threads >= 1 && threads <= kMaxWorkerThreads;
}

std::string ThreadCountWanted(const std::string& text) {
  return "wants a whole number of threads from 1 to " + std::to_string(kMaxWorkerThreads) + ", not \"" +
         text + "\"";
}

bool WantsBatch(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--batch") == 0) return true;
  return false;
}

int AppMain(int argc, char** argv) {
  RunOptions options;
  std::string error;
  if (!ParseRunOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "kmwb: %s\nusage: %s\n", error.c_str(), kUsage);
    return kBatchBadArguments;
  }
  if (!options.batchScript.empty() && !BatchScriptPathUsable(options.batchScript, error)) {
    std::fprintf(stderr, "kmwb: %s\n", error.c_str());
    return kBatchBadArguments;
  }
  Ephemeris ephemeris = Ephemeris::Classic;
  if (!EphemerisOfRun(options, ephemeris, error)) {
    std::fprintf(stderr, "kmwb: %s\n", error.c_str());
    return kBatchBadArguments;
  }
  SetCurrentEphemeris(ephemeris);
  int threads = 1;
  if (!ChooseWorkerThreads(options, std::getenv("KMWB_THREADS"), threads, error)) {
    std::fprintf(stderr, "kmwb: %s\n", error.c_str());
    return kBatchBadArguments;
  }
  SetWorkerThreads(threads);
  SetModuleTable(moduleTable);
  SetRecordMessageSink(ShowRecordMessageInShell);
  // The layout wants a screen of 1920 x 1080 or more (the module labels
  // fill their buttons there); the headless screen is given that size.
  if (qzplatform_is_headless()) qzheadless_set_screen(kHeadlessScreenWidth, kHeadlessScreenHeight);
  bool batch = !options.batchScript.empty();
  if (!batch && (noDisplay || (!options.headless && qzplatform_is_headless()))) {
    char here[4096];
    std::string folder = getcwd(here, sizeof here) ? std::string(here) + "/" + kDemoResults : kDemoResults;
    std::fprintf(stderr,
                 "kmwb: no display can be opened, so the workbench cannot show its window.\n"
                 "kmwb: running the example batch %s instead; its results go to the folder %s\n",
                 kDemoScript, folder.c_str());
    options.batchScript = kDemoScript;
    options.outDir = kDemoResults;
    options.force = true;  // the example's own folder, made again on every start
    batch = true;
  }
  if (!StartUp(options.seed)) {
    std::fprintf(stderr, "kmwb: the main window could not be built (see qzk.log)\n");
    return 1;
  }
  if (batch) return RunBatch(options.batchScript, options.outDir, options.force, options.bmp);
  RunEventLoop();
  return 0;
}

}  // namespace

bool ParseRunOptions(int argc, char** argv, RunOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    // An option's value is the next argument, unless that is another
    // option: "--batch --out x" lacks its script.
    auto value = [&](std::string& out) {
      if (i + 1 >= argc || std::strncmp(argv[i + 1], "--", 2) == 0 || argv[i + 1][0] == 0) {
        error = a + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--headless") {
      options.headless = true;
    } else if (a == "--scale") {
      if (!value(v)) return false;
    } else if (a == "--batch") {
      if (!value(options.batchScript)) return false;
    } else if (a == "--force") {
      options.force = true;
    } else if (a == "--out") {
      if (!value(options.outDir)) return false;
    } else if (a == "--bmp") {
      options.bmp = true;
    } else if (a == "--ephemeris") {
      if (!value(v)) return false;
      Ephemeris e;
      if (!EphemerisFromName(v, e)) {
        error = "--ephemeris wants classic or precise, not \"" + v + "\"";
        return false;
      }
      options.ephemeris = e;
    } else if (a == "--seed") {
      if (!value(v)) return false;
      char* end = nullptr;
      errno = 0;
      unsigned long long seed = std::strtoull(v.c_str(), &end, 10);
      if (v.empty() || v[0] == '-' || errno != 0 || *end != 0) {
        error = "--seed wants a whole number 0 or more, not \"" + v + "\"";
        return false;
      }
      options.seed = seed;
    } else if (a == "--threads") {
      if (!value(v)) return false;
      int threads = 0;
      if (!ThreadCount(v, threads)) {
        error = "--threads " + ThreadCountWanted(v);
        return false;
      }
      options.threads = threads;
    } else {
      error = "unknown argument \"" + a + "\"";
      return false;
    }
  }
  if (options.batchScript.empty() && (options.outDir != "batch-out")) {
    error = "--out is only used with --batch";
    return false;
  }
  if (options.batchScript.empty() && options.bmp) {
    error = "--bmp is only used with --batch";
    return false;
  }
  if (options.batchScript.empty() && options.force) {
    error = "--force is only used with --batch";
    return false;
  }
  return true;
}

bool EphemerisOfRun(const RunOptions& options, Ephemeris& ephemeris, std::string& error) {
  if (options.ephemeris) {
    ephemeris = *options.ephemeris;
    return true;
  }
  const char* chosen = std::getenv("KMWB_EPHEMERIS");
  if (!chosen || !*chosen) {
    ephemeris = Ephemeris::Classic;
    return true;
  }
  if (EphemerisFromName(chosen, ephemeris)) return true;
  error = std::string("KMWB_EPHEMERIS wants classic or precise, not \"") + chosen + "\"";
  return false;
}

bool ChooseWorkerThreads(const RunOptions& options, const char* environment, int& threads,
                         std::string& error) {
  if (options.threads) {
    threads = *options.threads;
  } else if (environment && *environment) {
    if (!ThreadCount(environment, threads)) {
      error = std::string("KMWB_THREADS ") + ThreadCountWanted(environment);
      return false;
    }
  } else {
    threads = MachineCores();
  }
  return true;
}

const WaveTables& ShellWaveTables() {
  if (!waveTables) waveTables = std::make_unique<WaveTables>();
  return *waveTables;
}

bool StartUp(const std::optional<uint64_t>& seed) {
  // 1. Deferred building; the random generator.
  qzwindow_build_begin();
  if (seed) {
    qzrandom_seed(*seed);
  } else {
    qzrandom_init();
  }
  qzlog("random seed in use: %llu\n", static_cast<unsigned long long>(qzrandom_current_seed()));
  qzlog("ephemeris in use: %s\n", EphemerisName(CurrentEphemeris()));
  qzlog("worker threads: %d\n", WorkerThreads());
  // A stop of the running module (Escape, the busy field, a quit) ends the
  // long loops' workers at their next block.
  SetStopQuery([] { return ModuleStopRequested(); });
  // 2-4. The main window.
  bool ok = BuildMainWindow();
  qzwindow_build_end();
  if (!ok || !Shell()) return false;
  SetCorePrinter(PrintCoreLine);
  Shell()->tabs.showPage(0);
  // 5. Banner.
  PrintOut("K & M Research Workbench  -  Research-Program Institut K & M\n\n\n");
  PrintOut(" Please wait ");
  SetBusy(true);
  qzdispatch_pending();
  // 6. The start-up picture.
  GraphicOutput(1, 2304, 1500, 0xFFFFFF);
  qzgraphic_clear(0xFFFFFF);
  if (!qzgraphic_loadpicture(0, 0, "solarsystem-1.bmp")) qzlog("solarsystem-1.bmp could not be shown\n");
  Pause(4.0);
  // 7. The wave tables, one order at a time (once per process).
  if (!waveTables) waveTables = std::make_unique<WaveTables>();
  for (int p = 1; p <= 12; ++p) {
    if (filledOrders < p) {
      FillWaveTableOrder(*waveTables, p);
      filledOrders = p;
    }
    PrintOut(".");
    qzdispatch_pending();
  }
  // 8. Ready.
  TextOutput(0);
  SetBusy(false);
  PrintOut("\nReady ! Have fun !!\n");
  if (CurrentEphemeris() == Ephemeris::Precise) PrintOut("Ephemeris: precise\n");
  // The start-up picture hid the menu page and its focus went to the quit
  // button; Return right after the start must run the welcome, never quit.
  Shell()->modules[0].takeFocus();
  Shell()->graphicUsed.fill(false);  // the start-up picture is no result
  qzlog("start-up done: %s backend\n", qzplatform().name());
  return true;
}

void RunEventLoop() {
  for (;;) {
    int event = qzwait_event();
    if (event == 0 && !qzrunning()) return;
    if (!HandleMainEvent(event)) return;
  }
}

int RunWorkbench(int argc, char** argv, const std::vector<ModuleEntry>& modules) {
  moduleTable = modules;
  // A batch run is headless: the toolkit chooses its backend from
  // "--headless", put first so that it cannot be taken for the value of
  // the option before it.
  std::vector<char*> args(argv, argv + argc);
  static char headless[] = "--headless";
  bool explicitHeadless = false;
  for (int i = 1; i < argc; ++i) explicitHeadless = explicitHeadless || std::strcmp(argv[i], "--headless") == 0;
  noDisplay = !explicitHeadless && !WantsBatch(argc, argv) && !DisplayReachable();
  // Right after the program name, so that a last option still missing its
  // value ("--threads", "--seed") is told so instead of taking this one.
  if (WantsBatch(argc, argv) || noDisplay) args.insert(args.begin() + (argc > 0 ? 1 : 0), headless);
  args.push_back(nullptr);
  int count = static_cast<int>(args.size()) - 1;
  return qzk_entry(count, args.data(), AppMain);
}
