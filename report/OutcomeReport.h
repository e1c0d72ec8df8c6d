#pragma once
// The one place where an outcome becomes what the user sees: the message box
// a failure gets (in silent mode: only the log line), and the end of the
// process where a failure leaves nothing to go on with. The box has no owner
// window and only an OK button; the calling thread waits until it is
// dismissed. The box speaks the catalogue's current language, the log English.
#include "common/Outcome.h"
#include "report/FailureWording.h"

#include <functional>
#include <string>

// Shows the outcome's message, if it has one, and returns once it has been
// dismissed. A success says nothing.
void Tell(const Outcome& outcome);

// Tells a failure and ends the process (exit code 0, 1603 in silent mode).
[[noreturn]] void EndWith(const Outcome& failure);

// A success returns at once; a failure is EndWith: none of the engine's
// failures leaves anything to go on with.
void EndUnlessSucceeded(const Outcome& outcome);

// Test seam: while a sink is installed, messages go to it instead of a message
// box (in-process tests cannot answer a modal box). Returns the previous sink.
using UserMessageSink = std::function<void(const std::wstring& text, const std::wstring& caption)>;
UserMessageSink SetUserMessageSink(UserMessageSink sink);
