#pragma once
// The toolkit owns the program's start and end. The application's own
// main() does nothing but
//
//     int main(int argc, char** argv) { return qzk_entry(argc, argv, AppMain); }
//
// qzk_entry runs qzk_init, calls AppMain once with the arguments that are
// left after the toolkit's options were removed, runs the first exit list,
// keeps handling input while windows are open if AppMain never waited for
// an event, and ends through qzk_exit with AppMain's result.
#include <string>

using qzAppMain = int (*)(int argc, char** argv);
using qzExitHandler = void (*)();

int qzk_entry(int argc, char** argv, qzAppMain appMain);

// Logs "qzk init.\n" and the arguments, chooses the platform backend
// ("--headless", "--scale N"), removes the options "qzinfo", "qzlicense"
// and "qzfile" (any case, "-", "+", "/", "_" and blanks ignored, only
// arguments shorter than 50 characters) from argv and updates argc, prints
// the texts they ask for, starts the timer and loads the default fonts.
void qzk_init(int& argc, char** argv);

// Runs the exit lists and the application's exit callback, clears the
// running flag, logs "qzk exit\n" and ends the process with `code`.
[[noreturn]] void qzk_exit(int code);
// Everything qzk_exit does except ending the process (tests, and the
// entry when it returns normally). Safe to call twice: handlers run once.
void qzk_shutdown();

// Exit handlers: up to 100 each, run in the order added. The "before"
// list runs before the application's exit callback, the "after" list after
// it. False when the list is full.
bool qzk_add_exit_handler_before(qzExitHandler handler);
bool qzk_add_exit_handler_after(qzExitHandler handler);
void qzk_set_exit_callback(qzExitHandler callback);

// The command-line normalisation: "-", "+", "/", "_" and blanks removed,
// then compared case-insensitively with `option` ("qzinfo", ...). Arguments
// of 50 characters or more never match.
bool qzk_is_option(const char* argument, const char* option);

// The toolkit's version and licence texts as printed by "qzinfo" and
// "qzlicense" ("qzfile" also writes them to "qzklib_info.txt" and
// "qzklib_license.txt").
std::string qzk_version_text();
std::string qzk_license_text();

// The about box: a window "about qzk" with the version and licence text and
// a "Dismiss" button; waits until it is dismissed or closed.
void qzk_about();

// Services that sit directly on the platform.
void qzclipboard_set(const std::string& text);
std::string qzclipboard_get();
// Plays a WAV file by name (relative names from the current directory);
// false and a log line if it cannot be played.
bool qzsound_play(const char* path);
void qzsound_stop();
