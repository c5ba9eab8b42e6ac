#pragma once
// The standard input dialogs. Each is a modal window built from toolkit
// widgets that waits for its button; the value shown when the button is
// pressed is the answer. Escape or the dialog's close box cancels the
// running module instead (app/module_stop.h): the dialog then returns at
// once, as when the program is ending, and so does every dialog after it
// until the module has ended. In a batch run the script's answers are
// entered into the same widgets.
#include <string>
#include <vector>

int InputInt(const char* question, int min, int max, int start);
// 1 for "Yes", 0 for "No", -1 when the program is ending.
int InputYesNo(const char* question, int defaultAnswer);
double InputDouble(const char* question, double defaultValue);
// One row per label (1 to 24); values[i] is shown and read back.
void InputArray(const char* title, double* values, const std::vector<std::string>& labels);
// 1-based index of the pressed button, -1 when the program is ending.
int InputChoice(const char* title, const std::vector<std::string>& labels);
// Six in/out fields; a field passed as -1 is shown with its default and disabled.
void InputDateTime(const char* title, int& day, int& month, int& year,
                   int& hour, int& minute, int& second);
