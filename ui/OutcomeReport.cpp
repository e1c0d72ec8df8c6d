#include "ui/OutcomeReport.h"

#include "i18n/TranslationCatalog.h"
#include "net/NetworkErrorText.h"
#include "net/NetworkErrors.h"
#include "platform/RunLog.h"
#include "ui/ProcessExit.h"
#include "ui/UserMessage.h"

namespace {

std::wstring T(const std::wstring& key, const std::vector<std::wstring>& values = {}) {
    return Catalog().Translate(key, values);
}

std::wstring FirstValue(const Outcome& outcome) {
    return outcome.values.empty() ? std::wstring() : outcome.values.front();
}

} // namespace

std::optional<UserMessageText> MessageFor(const Outcome& outcome) {
    const std::wstring error = T(L"IDS_TITLE_ERROR");
    switch (outcome.failure) {
    case Failure::None:
        return std::nullopt;
    case Failure::NoConnection:
        return UserMessageText{T(outcome.key), T(L"error_download")};
    case Failure::ServerStatus:
    case Failure::PackageNotUnpacked:
        return UserMessageText{T(outcome.key, outcome.values), error};
    case Failure::NetworkError:
        if (outcome.code == 0)
            return std::nullopt;
        if (!outcome.key.empty())
            return UserMessageText{T(outcome.key, outcome.values), error};
        return UserMessageText{
            ComposeErrorText(outcome.code, SystemErrorText(outcome.code), FirstValue(outcome)), error};
    case Failure::FolderNotCreated:
        return UserMessageText{T(outcome.key) + L" " + FirstValue(outcome), error};
    case Failure::PackageMismatch:
        return UserMessageText{T(outcome.key, outcome.values), error};
    case Failure::FilesInUse:
        return UserMessageText{
            ComposeErrorText(outcome.code, SystemErrorText(outcome.code), FirstValue(outcome)), error};
    }
    return std::nullopt;
}

void Tell(const Outcome& outcome) {
    if (MessageFor(outcome))
        ShowUserMessage([&outcome] { return MessageFor(outcome).value_or(UserMessageText{}); }, outcome.code);
    else if (!outcome.Succeeded())
        LogEvent(L"failure: a network error without an error code");
}

void EndUnlessSucceeded(const Outcome& outcome) {
    if (outcome.Succeeded())
        return;
    Tell(outcome);
    EndProcess(RunEnd::Failed);
}
