#include "app/run_facts.h"

#include <sys/utsname.h>

#include "core/ephemeris.h"
#include "core/worker_pool.h"
#include "qzk/platform/platform.h"

#if __has_include("kmwb_commit.h")
#include "kmwb_commit.h"  // generated at build time: KMWB_COMMIT
#endif
#ifndef KMWB_COMMIT
#define KMWB_COMMIT "unknown"
#endif

std::string ProgramRelease() { return "0.9.0"; }

std::string ProgramCommit() { return KMWB_COMMIT; }

// The worker threads of the long loops (--threads, KMWB_THREADS or the
// machine's cores).
int RunThreadCount() { return WorkerThreads(); }

std::string RunEphemerisName() { return EphemerisName(CurrentEphemeris()); }

std::string RunPlatform() {
  std::string text;
  struct utsname u {};
  if (uname(&u) == 0) text = std::string(u.sysname) + " " + u.release + " " + u.machine;
  return text + (text.empty() ? "" : ", ") + qzplatform().name() + " backend";
}
