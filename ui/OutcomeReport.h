#pragma once
// The one place where what the engine reports becomes what the user sees:
// the message box a failure gets (in silent mode: the log line), and the end
// of the process where a failure leaves nothing to go on with. The wording of
// each failure is fixed here.
#include "common/Outcome.h"
#include "ui/UserMessage.h"

#include <optional>
#include <string>

// The message an outcome is told with, in the current language; nothing for a
// success and for a network error without a code.
std::optional<UserMessageText> MessageFor(const Outcome& outcome);

// Shows the outcome's message, if it has one (ShowUserMessage), and returns
// once it has been dismissed.
void Tell(const Outcome& outcome);

// A success returns at once. A failure is told and ends the process (exit
// code 0, 1603 in silent mode): none of the engine's failures leaves anything
// to go on with.
void EndUnlessSucceeded(const Outcome& outcome);
