#pragma once
// Which pair loop the matrix builders run: two lanes (SSE2) everywhere, or
// four (AVX2) where the processor has them. Both give the same values bit
// for bit; the choice is made once per process from the processor.
#include "core/matrices.h"

enum class MatrixPath { Sse2, Avx2 };

// Avx2 when the processor has it, else Sse2.
MatrixPath PathFor(bool hasAvx2);
// The path of this processor (checked once).
MatrixPath DefaultMatrixPath();

// The builders with the path given: H, I and D as far as not nullptr
// (at least one), `periods` the diagonal of D (kBodyPeriodsOrderP or
// kBodyPeriodsFixed3), `motion` needed with D only.
void BuildMatricesOnPath(const WaveTables& tables, int p, const double* positions,
                         const double* motion, const double* periods, HarmonicMatrix* H,
                         HarmonicMatrix* I, HarmonicMatrix* D, MatrixPath path);
