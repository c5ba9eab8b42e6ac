#pragma once
// Facts of this run that a research record states and that other parts
// of the program decide; each has this one place.
#include <string>

// The release of the program and the commit it was built from.
std::string ProgramRelease();
std::string ProgramCommit();
// The number of threads the modules compute with.
int RunThreadCount();
// The ephemeris the charts come from ("classic", "precise"; core/ephemeris.h).
std::string RunEphemerisName();
// "Linux 6.1.0 x86_64, headless backend".
std::string RunPlatform();
