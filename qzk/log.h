#pragma once
// The toolkit's log file "qzk.log" in the current directory. The first
// line of a run recreates the file; every later line is appended. The file
// is opened and closed for every call, so the log survives a crash; a log
// that cannot be opened loses the line silently.
#include <string>

void qzlog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The full path of the log file, fixed at the first line of the run
// (empty before it).
std::string qzlog_path();
