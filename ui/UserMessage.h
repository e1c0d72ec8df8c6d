#pragma once
#include <functional>
#include <string>

// Every message the user sees goes through here: a message box with no owner
// window and only an OK button. The calling thread waits until it is dismissed.
void ShowUserMessage(const std::wstring& text, const std::wstring& caption);

// Test seam: while a sink is installed, messages go to it instead of a message
// box (in-process tests cannot answer a modal box). Returns the previous sink.
using UserMessageSink = std::function<void(const std::wstring& text, const std::wstring& caption)>;
UserMessageSink SetUserMessageSink(UserMessageSink sink);
