// The cost of keeping a large window alive from a module's loop: one poll
// with one small widget changed, and a full repaint of the window.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "qzk/button.h"
#include "qzk/events.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/window.h"

namespace {
struct BigWindow {
  qzWindow window;
  std::vector<std::unique_ptr<qzButton>> buttons;
  BigWindow() {
    qzplatform_use_headless();
    window.create("bench,xs=1200,ys=900,noquit");
    for (int i = 0; i < 60; ++i) {
      auto b = std::make_unique<qzButton>();
      std::string cs = "Module " + std::to_string(i) + ",x=" + std::to_string(20 + (i % 4) * 290) +
                       ",y=" + std::to_string(20 + (i / 4) * 56) + ",xs=260,ys=40";
      b->create(cs.c_str());
      buttons.push_back(std::move(b));
    }
    qzdispatch_pending();
  }
};
}  // namespace

static void BM_PollOneChangedButton(benchmark::State& state) {
  BigWindow w;
  size_t i = 0;
  for (auto _ : state) {
    w.buttons[i++ % w.buttons.size()]->invalidate();
    benchmark::DoNotOptimize(qzpoll_event());
  }
}
BENCHMARK(BM_PollOneChangedButton);

static void BM_PollNothingChanged(benchmark::State& state) {
  BigWindow w;
  for (auto _ : state) benchmark::DoNotOptimize(qzpoll_event());
}
BENCHMARK(BM_PollNothingChanged);

static void BM_FullRepaint1200x900(benchmark::State& state) {
  BigWindow w;
  for (auto _ : state) {
    w.window.invalidate();
    benchmark::DoNotOptimize(w.window.repaint());
  }
}
BENCHMARK(BM_FullRepaint1200x900);
