#include "ui/UserMessage.h"

#include <windows.h>

#include <mutex>
#include <utility>

namespace {
std::mutex sinkMutex;
UserMessageSink& Sink() {
    static UserMessageSink sink;
    return sink;
}
} // namespace

void ShowUserMessage(const std::wstring& text, const std::wstring& caption) {
    UserMessageSink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex);
        sink = Sink();
    }
    if (sink) {
        sink(text, caption);
        return;
    }
    // No owner: a box raised by a worker thread must not disable the window.
    ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

UserMessageSink SetUserMessageSink(UserMessageSink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex);
    return std::exchange(Sink(), std::move(sink));
}
