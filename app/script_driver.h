#pragma once
// Answers the program's dialogs without a person: whenever the headless
// toolkit would wait for input that nobody gives, the innermost open
// dialog (data/open_dialogs.h) takes the next answer of the queue. The
// answer is entered into the dialog's own widgets (their setters, as a
// typed value would) and its button is pressed by an injected click, so
// the dialog's code runs exactly as for a user.
//
// A message box of the toolkit ("message") is confirmed with its "OK"; its
// text goes to the log and to standard error.
//
// When an answer does not fit (wrong question prefix, no answers left, a
// value the dialog cannot take), the fail handler gets a message naming the
// script line. Waits without an open dialog (pauses, a module's own loop)
// are left alone: the headless toolkit ends the run when no input can ever
// arrive, and the caller reports that.
#include <functional>
#include <string>

#include "app/answers.h"

using ScriptFailHandler = std::function<void(const std::string& message)>;

// Installs the idle hook that answers from `queue` (which must outlive the
// installation). Replaces an earlier installation.
void StartAnswering(AnswerQueue& queue, ScriptFailHandler onFail);
void StopAnswering();
bool Answering();

// One step of the hook: answers the open dialog. False with the message
// in `error` when it cannot.
bool AnswerOpenDialog(AnswerQueue& queue, std::string& error);
