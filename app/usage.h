#pragma once
// What "kmwb --help" prints: the usage of every command and switch.
#include <string>

std::string KmwbUsage();
// True for "--help", "-h" and "help" as the first argument.
bool AsksForHelp(int argc, char** argv);
