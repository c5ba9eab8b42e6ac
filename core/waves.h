#pragma once
// Harmonic wave functions of the angle between two ecliptic longitudes,
// and their tables.
//
// The harmony wave of order p (1..12) is
//   W = sum_{k=1}^{12p-1} c(k) cos(k d) / (19 p),  d = |b - c|,
// the dynamic wave V = -sign(b - c) sum c(k) k sin(k d) / (19 p), with the
// period-12 coefficients c (wave_coefficients.h). Orders of 13 or more are
// computed like order 1 by the direct functions and read like order 12 by
// the lookups; orders below 1 are taken as order 1 by both.
// Angles in degrees; the inputs are meant to be longitudes 0..360.
//
// WaveTables holds both waves for every order on a grid of 0.02 degree
// (j = 0..18001, angle j * 0.02, up to 360.02); the lookups interpolate
// linearly. The tables are about 3.7 MB: keep them in static or heap
// storage, fill them once, and pass them as const afterwards.

inline constexpr int kWaveOrders = 13;     // row 0 unused, orders 1..12
inline constexpr int kWaveSteps = 18002;   // 0 .. 360.02 degrees
inline constexpr double kWaveStepDegrees = 0.02;

struct WaveTables {
  double harmony[kWaveOrders][kWaveSteps];  // tableA: HarmonyWave(p, 0, j * 0.02)
  double dynamic[kWaveOrders][kWaveSteps];  // tableB: DynamicWave(p, 0, j * 0.02)
};

// Direct sums (143 terms at order 12); for tests and for filling.
double HarmonyWave(int p, double b, double c);
double DynamicWave(int p, double b, double c);

// Fills both tables of one order (1..12), each value within 1e-12 of the
// direct sum (measured: 4e-13). The start-up may call it order by order to
// show progress; each call reruns the sums of the lower orders, so the
// twelve calls cost about six times one FillWaveTables.
void FillWaveTableOrder(WaveTables& tables, int p);
// Fills all twelve orders.
void FillWaveTables(WaveTables& tables);

// The process-wide tables, filled on first use (thread-safe) and read-only
// afterwards.
const WaveTables& SharedWaveTables();

// Table values with linear interpolation, for longitudes b, c in 0..360.
// A difference beyond 360 is reduced modulo 360 (the waves have period
// 360) rather than read past the table; a NaN gives NaN.
double HarmonyLookup(const WaveTables& tables, int p, double b, double c);
double DynamicLookup(const WaveTables& tables, int p, double b, double c);

// The diagonal score of one body (0..10) at longitude x degrees; any other
// body index gives 0.
double SelfValue(int body, double x);
