#include "report/OutcomeReport.h"

#include "i18n/TranslationCatalog.h"
#include "platform/RunLog.h"
#include "report/ProcessExit.h"
#include "report/SilentMode.h"

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

void ShowMessageBox(const UserMessageText& message) {
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

void Tell(const Outcome& outcome) {
    const std::optional<UserMessageText> shown = MessageFor(outcome, Catalog().GetLanguage());
    if (!shown) {
        if (!outcome.Succeeded())
            LogEvent(L"failure: a network error without an error code");
        return;
    }
    if (RunLogOpen())
        LogMessage(MessageFor(outcome, kLogLanguage).value_or(UserMessageText{}), outcome.code);
    ShowMessageBox(*shown);
}

void EndWith(const Outcome& failure) {
    Tell(failure);
    EndProcess(RunEnd::Failed);
}

void EndUnlessSucceeded(const Outcome& outcome) {
    if (!outcome.Succeeded())
        EndWith(outcome);
}

UserMessageSink SetUserMessageSink(UserMessageSink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex);
    return std::exchange(Sink(), std::move(sink));
}
