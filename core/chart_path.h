#pragma once
// Which registers the chart batch runs on: pairs (SSE2) everywhere, or
// four moments side by side (AVX2) where the processor has them. Both
// give every chart bit for bit as ComputeChart does; the choice is made
// once per process from the processor.
#include <cstddef>

#include "core/chart.h"

enum class ChartPath { Sse2, Avx2 };

// Avx2 when the processor has it, else Sse2 (checked once).
ChartPath DefaultChartPath();

// ComputeChartBatch on the path given; Avx2 on a processor without it
// runs the Sse2 path.
unsigned ComputeChartBatchOnPath(const ChartMoment* moments, std::size_t count, ChartRecord* charts,
                                 ChartPath path);
