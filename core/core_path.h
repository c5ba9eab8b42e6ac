#pragma once
// Which registers the core's passes run on: pairs (SSE2) everywhere, or
// four lanes (AVX2) where the processor has them, for the chart batch
// (four moments side by side) and the matrix builders (four cells at a
// time) alike. Both give every chart and every matrix bit for bit as the
// other; the choice is made once per process from the processor.
#include <cstddef>

#include "core/chart.h"
#include "core/matrices.h"

enum class CorePath { Sse2, Avx2 };

// Avx2 when the processor has it, else Sse2.
CorePath PathFor(bool hasAvx2);
// The path of this processor (checked once).
CorePath DefaultCorePath();

// ComputeChartBatch on the path given; Avx2 on a processor without it
// runs the Sse2 path.
unsigned ComputeChartBatchOnPath(const ChartMoment* moments, std::size_t count, ChartRecord* charts,
                                 CorePath path);

// The builders with the path given: H, I and D as far as not nullptr
// (at least one), `periods` the diagonal of D (kBodyPeriodsOrderP or
// kBodyPeriodsFixed3), `motion` needed with D only. Avx2 on a processor
// without it runs the Sse2 path.
void BuildMatricesOnPath(const WaveTables& tables, int p, const double* positions,
                         const double* motion, const double* periods, HarmonicMatrix* H,
                         HarmonicMatrix* I, HarmonicMatrix* D, CorePath path);
