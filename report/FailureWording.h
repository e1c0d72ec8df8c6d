#pragma once
// How each failure is worded: the translation key, its values and the caption,
// in a language the caller names. Nothing here shows a message.
#include "common/Outcome.h"

#include <cstdint>
#include <optional>
#include <string>

struct UserMessageText {
    std::wstring text;
    std::wstring caption;
};

// Message for an error code other than 0 and 12045: the system's text (or
// "unknown error" when it has none), then "(0x" + code in lower-case hex +
// "): " + the file-name part of fileName, with no spaces between the pieces.
std::wstring ComposeErrorText(std::uint32_t code, const std::wstring& systemText,
                              const std::wstring& fileName);

// The message an outcome is told with, in the catalogue's language `language`;
// nothing for a success and for a network error without a code.
std::optional<UserMessageText> MessageFor(const Outcome& outcome, const std::wstring& language);
