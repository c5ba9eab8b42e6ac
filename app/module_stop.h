#pragma once
// Ending a module before its end. While a module runs the user can end it:
// Escape or the close box in one of its dialogs (the module is cancelled),
// Escape or a click on the busy field while it computes (it is stopped),
// or one of the three ways to quit the program. The request is one flag:
// the module's loops read it at every step (from any thread), its dialogs
// return at once, and the module frame then puts back every working file
// the module wrote (app/module_files.h) and says so on the text page.
enum class ModuleStop { None, Cancelled, Stopped, Quit };

// The first request of a run wins; later ones only turn a cancel or a stop
// into a quit.
void RequestModuleStop(ModuleStop why);
// True once a request was made for the module running now.
bool ModuleStopRequested();
ModuleStop ModuleStopReason();
// The module frame, before each module.
void ClearModuleStop();
