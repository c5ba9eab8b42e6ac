// Saving a graphic page's canvas (2304 x 1500, the application's size) as
// BMP and as PNG, file writing included.
#include "qzk/picture.h"
#include "qzk/pixmap.h"
#include "qzk/pixmap_draw.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A plot-like page: white ground, a grid, bars and curves.
qzPixmap plotCanvas() {
  qzPixmap p;
  qzpxmap_alloc(p, 2304, 1500, QZ_PX_TRUECOLOR);
  qzpxmap_clear(p, 0xFFFFFF);
  for (int x = 100; x < 2304; x += 100) qzpxmap_line(p, x, 50, x, 1450, 0xC0C0C0);
  for (int y = 50; y < 1500; y += 100) qzpxmap_line(p, 100, y, 2200, y, 0xC0C0C0);
  for (int i = 0; i < 40; ++i) qzpxmap_fillrect(p, 120 + i * 50, 1450 - (i * 37) % 1300, 30, (i * 37) % 1300, 0x000080 + i * 0x040400);
  for (int c = 0; c < 6; ++c) {
    int px = 100, py = 750;
    for (int x = 100; x < 2200; x += 3) {
      const int y = 750 + static_cast<int>(500 * std::sin(x / (80.0 + 30 * c)) * std::cos(x / 700.0 + c));
      qzpxmap_line(p, px, py, x, y, 0xFF0000 >> (c * 4));
      px = x;
      py = y;
    }
  }
  qzpxmap_ellipse(p, 1800, 300, 200, 120, 0x008000, true);
  return p;
}

void saveCanvas(benchmark::State& state, const char* name) {
  const qzPixmap canvas = plotCanvas();
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  for (auto _ : state) {
    if (!qzpxmap_savetofile(canvas, "%s", path.c_str())) state.SkipWithError("save failed");
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2304 * 1500 * 3);
  std::filesystem::remove(path);
}

void BM_SaveCanvasBMP(benchmark::State& state) { saveCanvas(state, "kmwb_bench_canvas.bmp"); }
void BM_SaveCanvasPNG(benchmark::State& state) { saveCanvas(state, "kmwb_bench_canvas.png"); }

}  // namespace

BENCHMARK(BM_SaveCanvasBMP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCanvasPNG)->Unit(benchmark::kMillisecond);
