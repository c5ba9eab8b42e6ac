#include "app/usage.h"

#include <cstring>

std::string KmwbUsage() {
  return
      "usage: kmwb [--headless] [--scale N] [--ephemeris E]   the workbench in a window\n"
      "       kmwb --batch SCRIPT [--out DIR] [--seed N] [--threads N] [--bmp] [--force] [--ephemeris E]\n"
      "                                              a batch run of the script's modules\n"
      "       kmwb chart    [--tsv] [--batch | Y M D h m s zone summer lonDeg lonMin latDeg latMin]\n"
      "       kmwb matrices (--order P | --fixed) [--tsv] [--batch | the same twelve integers]\n"
      "       kmwb place NAME                        the best matches of places.dbf\n"
      "       kmwb zone NAME Y M D h m [s] | kmwb zone --batch\n"
      "       kmwb --help                            this text\n"
      "\n"
      "The workbench and batch runs:\n"
      "  --headless      no window (a virtual screen in memory); chosen by itself without a display\n"
      "  --scale N       presentation scale 1..8 (default: from the screen's density)\n"
      "  --batch SCRIPT  runs the modules the script names, answering their dialogs from it\n"
      "  --out DIR       the results folder of a batch run (default batch-out): the last pages,\n"
      "                  replay.kmwb, and per module DIR/NN-LABEL/ with its pages and record\n"
      "                  (manifest.json, replay.kmwb, matrices.csv, curves.csv, ...)\n"
      "  --seed N        seeds the random numbers (0 or more; default: from the clock)\n"
      "  --ephemeris E   classic (the default, or KMWB_EPHEMERIS) or precise (the Swiss Ephemeris):\n"
      "                  the charts' ephemeris, which each record's manifest names\n"
      "  --threads N     the worker threads of the long loops, 1..256 (default: KMWB_THREADS, else\n"
      "                  the machine's cores); the results are the same for every number\n"
      "  --bmp           also saves the graphic pages as BMP pictures\n"
      "  --force         replaces the record of an earlier run in DIR (without it such a DIR\n"
      "                  stops the run)\n"
      "A module run in the window leaves its record in records/YYYYMMDD-HHMMSS-LABEL/.\n"
      "\n"
      "The chart commands (no window):\n"
      "  Y M D h m s     civil date and clock time (year -4712..9999)\n"
      "  zone            hours east of Greenwich (-24..24), summer: hours of summer time (-24..24)\n"
      "  lonDeg lonMin   longitude, east positive; latDeg latMin latitude, north positive\n"
      "                  (minutes carry the sign of the degrees)\n"
      "  --tsv           one line of tab-separated numbers per moment\n"
      "  --batch         one moment per line of standard input, one output line each\n"
      "  --order P       harmonic order 1..12 of the matrices; --fixed: the fixed order-3 forms\n"
      "\n"
      "Exit status: 0 done, 1 a result could not be written, 2 bad arguments (or a DIR that\n"
      "holds an earlier record), 3 a batch script out of step with the dialogs, 4 a module\n"
      "ended early, 5 a module failed (its pages and record are saved).\n";
}

bool AsksForHelp(int argc, char** argv) {
  if (argc < 2) return false;
  return std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "help") == 0;
}
