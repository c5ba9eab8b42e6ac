// The workbench's entry point: the chart commands, then the menu's modules.
//
// A module joins the menu by one line in kModules with its button's label
// (app/modules.h lists the 22 labels) and its function, declared in the
// module's own header.
#include <cstdio>
#include <cstring>
#include <iterator>

#include "analyses/continuum.h"
#include "analyses/event_analysis.h"
#include "analyses/workfile_set.h"
#include "app/chart_command.h"
#include "app/lookup_commands.h"
#include "app/shell.h"
#include "app/usage.h"
#include "probability/matrix_probability.h"
#include "probability/resonance.h"
#include "probability/zeitq.h"

namespace {

const ModuleEntry kModules[] = {
    {"0- WELCOME", RunWelcome},
    {"1- Statistics 1 - Continuum", RunContinuum},
    {"2- Event Analysis", RunEventAnalysis},
    {"4- Matrix Probability", RunMatrixProbability},
    {"6- Planetary Fluctuations - resonances", RunResonanceCurve},
    {"11- Planetary Fluctuations - time quality", RunPlanetaryFluctuations},
    {"17- Julian Date", RunJulianDateTool},
};

}  // namespace

int main(int argc, char** argv) {
  if (AsksForHelp(argc, argv)) {
    std::fputs(KmwbUsage().c_str(), stdout);
    return 0;
  }
  if (argc > 1 && (strcmp(argv[1], "chart") == 0 || strcmp(argv[1], "matrices") == 0))
    return RunChartCommand(argc - 1, argv + 1);
  if (argc > 1 && strcmp(argv[1], "place") == 0) return RunPlaceCommand(argc - 1, argv + 1);
  if (argc > 1 && strcmp(argv[1], "zone") == 0) return RunZoneCommand(argc - 1, argv + 1);
  // A module's set of working files that a killed run left half put in
  // place is finished or discarded before anything else looks at the files.
  RecoverWorkfileSet();
  return RunWorkbench(argc, argv, {std::begin(kModules), std::end(kModules)});
}
