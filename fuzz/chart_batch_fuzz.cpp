// libFuzzer target of the chart tools' "--batch" input: any bytes as
// standard input, one moment per line, read by "kmwb chart" or "kmwb
// matrices" (the first byte picks the command and its options; the
// output goes to /dev/null). Built by fuzz/text_build.sh.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/chart_command.h"

namespace {

std::string scratch_path() {
  return "/tmp/chart_batch_fuzz_" + std::to_string(getpid()) + ".txt";
}

// The command's messages go to /dev/null while it runs; libFuzzer's own
// report needs the real standard error afterwards.
int quiet_stderr = -1, real_stderr = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  quiet_stderr = open("/dev/null", O_WRONLY);
  real_stderr = dup(STDERR_FILENO);
  if (quiet_stderr < 0 || real_stderr < 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string path = scratch_path();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);
  if (!std::freopen(path.c_str(), "rb", stdin)) std::abort();

  char chart[] = "chart", matrices[] = "matrices", tsv[] = "--tsv", batch[] = "--batch",
       order[] = "--order", fixed[] = "--fixed";
  std::string p = std::to_string(data[0] % 12 + 1);
  char* argv[6];
  int argc = 0;
  const bool matrixCommand = data[0] & 0x80;
  argv[argc++] = matrixCommand ? matrices : chart;
  if (data[0] & 0x40) argv[argc++] = tsv;
  argv[argc++] = batch;
  if (matrixCommand) {
    if (data[0] & 0x20) {
      argv[argc++] = fixed;
    } else {
      argv[argc++] = order;
      argv[argc++] = p.data();
    }
  }
  argv[argc] = nullptr;
  std::fflush(stderr);
  dup2(quiet_stderr, STDERR_FILENO);
  const int rc = RunChartCommand(argc, argv);
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(real_stderr, STDERR_FILENO);
  if (rc != 0 && rc != 1) std::abort();
  std::remove(path.c_str());
  return 0;
}
