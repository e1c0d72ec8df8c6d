#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Every message the user sees goes through here: a message box with no owner
// window and only an OK button. The calling thread waits until it is dismissed.
// With a log, each message is logged too, in English; in silent mode it is
// only logged.

struct UserMessageText {
    std::wstring text;
    std::wstring caption;
};

// Composes the message from the catalogue: once in the current language for
// the box, once in English for the log (ScopedTextLanguage). code is the
// system or network error number behind it, 0 when none.
using UserMessageComposer = std::function<UserMessageText()>;
void ShowUserMessage(const UserMessageComposer& compose, std::uint32_t code = 0);

// A message already composed; the log gets it as it is.
void ShowUserMessage(const std::wstring& text, const std::wstring& caption);

// Test seam: while a sink is installed, messages go to it instead of a message
// box (in-process tests cannot answer a modal box). Returns the previous sink.
using UserMessageSink = std::function<void(const std::wstring& text, const std::wstring& caption)>;
UserMessageSink SetUserMessageSink(UserMessageSink sink);
