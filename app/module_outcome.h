#pragma once
// How the running module ended. A module that cannot finish (a working
// file missing or damaged, a setting out of its range, its files not
// written) prints its message on its page as always and also reports it
// here, so that a batch run can end with a failure status and the reason
// instead of "results in". The batch run clears the report before each
// module.
#include <string>

// Notes the module as failed; the first reason of a run is kept.
void ReportModuleFailure(const std::string& reason);
bool ModuleFailed();
// The reason, without the page's leading line feeds and blanks.
const std::string& ModuleFailureReason();
void ClearModuleOutcome();
