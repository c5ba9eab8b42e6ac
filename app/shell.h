#pragma once
// The workbench's start, main loop and end. app/main.cpp calls
// RunWorkbench with the modules it links; the toolkit's entry then calls
// the shell's main function, which reads the command line:
//
//   kmwb                         the workbench in a window
//   kmwb --headless              on the headless backend (nothing to see)
//   kmwb --batch SCRIPT [--out DIR] [--seed N] [--force]
//                                runs the script's modules headless and
//                                saves the pages and records into DIR
//                                ("batch-out"); --force replaces an
//                                earlier run's record there
//   --ephemeris classic|precise  the ephemeris of the charts (the classic
//                                one unless given here or in the
//                                environment's KMWB_EPHEMERIS)
//   --threads N                  the long loops' worker threads (batch and
//                                window); else KMWB_THREADS, else the cores
//   --scale N                    (the toolkit's) presentation scale
//
// Where no display can be opened, the workbench says so and runs the
// bundled example batch "demo.kmwb" instead, into "demo-results".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/modules.h"
#include "core/ephemeris.h"
#include "core/waves.h"

int RunWorkbench(int argc, char** argv, const std::vector<ModuleEntry>& modules);

// The screen of headless runs and tests.
constexpr int kHeadlessScreenWidth = 1920;
constexpr int kHeadlessScreenHeight = 1080;

struct RunOptions {
  bool headless = false;
  std::string batchScript;        // empty: no batch run
  std::string outDir = "batch-out";
  std::optional<uint64_t> seed;
  bool bmp = false;  // a batch run saves its graphic pages as BMP too
  bool force = false;  // replace an earlier record in outDir
  std::optional<Ephemeris> ephemeris;
  std::optional<int> threads;  // --threads
};

// Reads the shell's options (the toolkit's "--headless" and "--scale N"
// are accepted and left to it). False with a message for anything else.
bool ParseRunOptions(int argc, char** argv, RunOptions& options, std::string& error);

// The ephemeris of a run: the command line's, else KMWB_EPHEMERIS's,
// else the classic one; false (with the message) for a name of neither.
bool EphemerisOfRun(const RunOptions& options, Ephemeris& ephemeris, std::string& error);
// The worker threads of the run: --threads, else the environment's
// KMWB_THREADS (`environment`, nullptr or empty when it is not set), else
// the machine's cores. False with a message for a value that is not a
// whole number 1..kMaxWorkerThreads.
bool ChooseWorkerThreads(const RunOptions& options, const char* environment, int& threads,
                         std::string& error);

// Start-up steps 1 to 8: seeds the random generator (from the clock, or
// the seed given), builds the main window, shows the start-up picture,
// fills the wave tables and says "Ready". The toolkit must be initialised.
bool StartUp(const std::optional<uint64_t>& seed);
// The event loop until one of the three ways to quit.
void RunEventLoop();

// The wave tables filled at start-up (read-only afterwards).
const WaveTables& ShellWaveTables();
