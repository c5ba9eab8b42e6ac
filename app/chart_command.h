#pragma once
// The command-line chart tools, for researchers and for checking the core
// against other programs:
//
//   kmwb chart    [--tsv] [--batch | Y M D h m s zone summer lonDeg lonMin latDeg latMin]
//   kmwb matrices (--order P | --fixed) [--tsv] [--batch | the same twelve integers]
//
// `argv[0]` is "chart" or "matrices". Returns the process exit code: 0,
// 1 when some batch lines were bad (each named on standard error, with
// an empty output line in its place), 2 for a usage error.
int RunChartCommand(int argc, char** argv);
