#include "ui/UserMessage.h"

#include "i18n/TranslationCatalog.h"
#include "platform/RunLog.h"
#include "ui/SilentMode.h"

#include <windows.h>

#include <mutex>
#include <utility>

namespace {

constexpr wchar_t kLogLanguage[] = L"en-US";

std::mutex sinkMutex;
UserMessageSink& Sink() {
    static UserMessageSink sink;
    return sink;
}

void LogMessage(const UserMessageText& message, std::uint32_t code) {
    std::wstring line = L"failure: " + message.caption + L": " + message.text;
    if (code != 0)
        line += L" (error " + std::to_wstring(code) + L")";
    LogEvent(line);
}

void Show(const UserMessageText& message) {
    if (SilentMode())
        return;
    UserMessageSink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex);
        sink = Sink();
    }
    if (sink) {
        sink(message.text, message.caption);
        return;
    }
    // No owner: a box raised by a worker thread must not disable the window.
    ::MessageBoxW(nullptr, message.text.c_str(), message.caption.c_str(), MB_OK);
}

} // namespace

void ShowUserMessage(const UserMessageComposer& compose, std::uint32_t code) {
    if (RunLogOpen()) {
        const ScopedTextLanguage english(kLogLanguage);
        LogMessage(compose(), code);
    }
    Show(compose());
}

void ShowUserMessage(const std::wstring& text, const std::wstring& caption) {
    const UserMessageText message{text, caption};
    LogMessage(message, 0);
    Show(message);
}

UserMessageSink SetUserMessageSink(UserMessageSink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex);
    return std::exchange(Sink(), std::move(sink));
}
