// Text pages with the tens of thousands of lines a module prints:
// appending must stay cheap, and painting a changed page must cost the
// new text plus the visible lines, not the whole text.
#include <benchmark/benchmark.h>

#include "qzk/events.h"
#include "qzk/platform/platform.h"
#include "qzk/textdisplay.h"
#include "qzk/window.h"

namespace {

struct Page {
  qzWindow window;
  qzTextDisplay page;
  Page() {
    qzplatform_use_headless();
    qzevents_reset();
    window.create("bench,x=0,y=0,xs=800,ys=600,noquit");
    page.create("x=0,y=0,xs=100%,ys=100%,nobreak");
  }
  ~Page() { window.destroy(); }
};

// 100 000 appended lines and the one paint that lays them out.
void BM_TextDisplayAppend100k(benchmark::State& state) {
  for (auto _ : state) {
    Page p;
    for (int i = 0; i < 100000; ++i)
      p.page.append("%6d  %10.4f %10.4f %10.4f  Sonne Mond\n", i, i * 0.5, i * 0.25, i * 0.125);
    p.page.paintNow(p.window.pixels());
    benchmark::DoNotOptimize(p.page.layout().lineCount());
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_TextDisplayAppend100k)->Unit(benchmark::kMillisecond);

// One more line on a page of 100 000, then a paint: the usual step while
// a module prints.
void BM_TextDisplayPaint(benchmark::State& state) {
  Page p;
  for (int i = 0; i < 100000; ++i) p.page.append("%6d  %10.4f  Sonne Mond Merkur Venus\n", i, i * 0.5);
  p.page.paintNow(p.window.pixels());
  int n = 0;
  for (auto _ : state) {
    p.page.append("%d more\n", n++);
    p.page.paintNow(p.window.pixels());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextDisplayPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
