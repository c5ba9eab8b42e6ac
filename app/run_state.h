#pragma once
// How this run was started, and the progress shown on a terminal during a
// batch run ("17- Julian Date:  45%" on standard error, updated in place).
#include <string>

// Turns the terminal progress on (batch runs whose standard error is a
// terminal) or off.
void SetProgressEcho(bool on);
bool ProgressEcho();
// Starts a progress line for a module; ends the previous one.
void BeginProgressLine(const std::string& module);
void EndProgressLine();
// Called by SetProgress with 0..100.
void ReportProgress(double percent);
