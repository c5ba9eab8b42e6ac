// Speed of the widgets that long loops touch: the progress bar set on
// every step of a module (it repaints only when its filled width changes)
// and a list box filled with a large table's records and scrolled.
#include <benchmark/benchmark.h>

#include <string>

#include "qzk/events.h"
#include "qzk/listbox.h"
#include "qzk/platform/platform.h"
#include "qzk/progressbar.h"
#include "qzk/window.h"

namespace {

void BM_ProgressEveryStep(benchmark::State& state) {
  qzplatform_use_headless();
  qzWindow window;
  window.create("bench,x=0,y=0,xs=800,ys=100,noquit");
  qzProgressBar bar;
  bar.create("x=25%,y=50%,xs=45%,ys=16");
  const int steps = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int k = 0; k < steps; ++k) {
      bar.setFraction(static_cast<double>(k) / steps);
      if (k % 500 == 0) qzdispatch_pending();  // as the modules keep the window alive
    }
  }
  state.SetItemsProcessed(state.iterations() * steps);
  window.destroy();
}
BENCHMARK(BM_ProgressEveryStep)->Arg(100000);

void BM_ListFillAndScroll(benchmark::State& state) {
  qzplatform_use_headless();
  qzWindow window;
  window.create("bench,x=0,y=0,xs=400,ys=400,noquit");
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    qzListBox list;
    list.create("x=10,y=10,xs=300,ys=300");
    for (int i = 0; i < n; ++i) list.addEntry("Person " + std::to_string(i));
    for (int i = 0; i < n; i += n / 50) {
      list.select(i);
      qzdispatch_pending();
    }
  }
  state.SetItemsProcessed(state.iterations() * n);
  window.destroy();
}
BENCHMARK(BM_ListFillAndScroll)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
