// What the drawing record costs a graphic page: the fluctuation page's
// curves (13 curves of 1000 points, the sum in 20 passes) drawn through
// the drawing calls with the record kept and with it given up, and the
// page written as SVG from its record, file writing included.
#include "qzk/drawing_record.h"
#include "qzk/graphic.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

// With keepRecord false the record is given up after the clear, so the
// drawing calls skip it.
void drawCurves(bool keepRecord) {
  qzgraphic_clear(0xFFFFFF);
  if (!keepRecord) qzrecord_abandon(qzgraphic_target()->record);
  for (int curve = 0; curve < 13; ++curve) {
    const int baseline = 100 + 72 * curve;
    for (int pass = 0; pass < (curve == 0 ? 20 : 1); ++pass) {
      for (int j = 0; j < 1000; ++j) {
        const int x = 90 + 1170 * j / 999;
        const int y = baseline - static_cast<int>(30 * std::sin(j * 0.37 + curve) * std::cos(j * 0.05) * (1 - 0.008 * pass));
        if (j == 0)
          qzgraphic_moveto(x, y);
        else
          qzgraphic_lineto(x, y, y < baseline ? 0xFF0000 : 0x0000FF);
      }
    }
    qzgraphic_line(90, baseline, 1260, baseline, 0x000000);
  }
}

struct Page {
  qzGraphicTarget target;
  Page() {
    qzpxmap_alloc(target.canvas, 1789, 1085, QZ_PX_TRUECOLOR);
    qzgraphic_settarget(&target);
  }
  ~Page() { qzgraphic_settarget(nullptr); }
};

void BM_DrawCurvesRecorded(benchmark::State& state) {
  Page page;
  for (auto _ : state) drawCurves(true);
  state.counters["shapes"] = static_cast<double>(page.target.record.shapes.size());
  state.counters["points"] = static_cast<double>(page.target.record.points.size());
}

void BM_DrawCurvesUnrecorded(benchmark::State& state) {
  Page page;
  for (auto _ : state) drawCurves(false);
}

void BM_SaveCurvesSVG(benchmark::State& state) {
  Page page;
  drawCurves(true);
  const std::string path = (std::filesystem::temp_directory_path() / "kmwb_bench_curves.svg").string();
  for (auto _ : state)
    if (!qzgraphic_savetarget(page.target, path)) state.SkipWithError("save failed");
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_DrawCurvesRecorded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawCurvesUnrecorded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCurvesSVG)->Unit(benchmark::kMillisecond);
