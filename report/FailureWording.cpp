#include "report/FailureWording.h"

#include "i18n/TranslationCatalog.h"
#include "net/NetworkErrorText.h"
#include "net/NetworkErrors.h"

#include <vector>

namespace {

std::wstring Value(const Outcome& outcome, std::size_t index) {
    return index < outcome.values.size() ? outcome.values[index] : std::wstring();
}

std::wstring SystemText(const Outcome& outcome) {
    return ComposeErrorText(outcome.code, SystemErrorText(outcome.code), Value(outcome, 0));
}

// A translation key and the values for its %1, %2, ...
struct TranslatedText {
    std::wstring key;
    std::vector<std::wstring> values;
};

// The message for a status that is not a success.
TranslatedText HttpStatusMessage(const std::wstring& statusText, const std::wstring& fileName) {
    switch (LeadingStatusNumber(statusText)) {
    case 404:
        return {L"text_missing_file", {fileName}};
    case 500:
        return {L"internal_server_error", {fileName}};
    default:
        return {L"error_generic", {statusText, fileName}};
    }
}

} // namespace

std::wstring ComposeErrorText(std::uint32_t code, const std::wstring& systemText,
                              const std::wstring& fileName) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    do {
        hex.insert(hex.begin(), digits[code % 16]);
        code /= 16;
    } while (code != 0);
    const std::wstring reason = systemText.empty() ? std::wstring(L"unknown error") : systemText;
    return reason + L"(0x" + hex + L"): " + FileNamePart(fileName);
}

std::optional<UserMessageText> MessageFor(const Outcome& outcome, const std::wstring& language) {
    const TranslationCatalog& catalog = Catalog();
    const auto T = [&](const wchar_t* key, const std::vector<std::wstring>& values = {}) {
        return catalog.TranslateIn(language, key, values);
    };
    const std::wstring error = T(L"IDS_TITLE_ERROR");
    // The spacing of each wording is as the user has always seen it: two
    // blanks before a path the window names, one where the engine names it,
    // none before an error number.
    switch (outcome.failure) {
    case Failure::None:
        return std::nullopt;
    case Failure::NoConnection:
        return UserMessageText{T(L"error_no_network"), T(L"error_download")};
    case Failure::ServerStatus: {
        const TranslatedText status = HttpStatusMessage(Value(outcome, 0), Value(outcome, 1));
        return UserMessageText{catalog.TranslateIn(language, status.key, status.values), error};
    }
    case Failure::NetworkError:
        if (outcome.code == 0)
            return std::nullopt;
        if (outcome.code == kSslCertificateRejected)
            return UserMessageText{T(L"ssl_error", outcome.values), error};
        return UserMessageText{SystemText(outcome), error};
    case Failure::FolderNotCreated:
        return UserMessageText{T(L"error_creating_folder") + L" " + Value(outcome, 0), error};
    case Failure::PackageNotUnpacked:
        return UserMessageText{T(L"text_missing_file", outcome.values), error};
    case Failure::PackageMismatch:
        return UserMessageText{T(L"error_generic", outcome.values), error};
    case Failure::FilesInUse:
        return UserMessageText{SystemText(outcome), error};
    case Failure::InstallFolderNotCreated:
        return UserMessageText{T(L"error_creating_folder") + L"  " + Value(outcome, 0), error};
    case Failure::CopyNotMade:
        return UserMessageText{T(L"copy_error") + L"  " + Value(outcome, 0), error};
    case Failure::TempNameUnavailable:
        return UserMessageText{T(L"temp_name_error"), error};
    case Failure::TempFolderNotCreated:
        if (outcome.code == 0)
            return UserMessageText{T(L"error_creating_folder"), error};
        return UserMessageText{
            T(L"error_creating_folder") + L"(error code: " + std::to_wstring(outcome.code) + L")", error};
    case Failure::TempCopyNotMade:
        return UserMessageText{T(L"copy_error") + L"(error code " + std::to_wstring(outcome.code) + L")",
                               error};
    case Failure::RegistryNotWritable:
        return UserMessageText{T(L"registry_write_fail"), error};
    case Failure::NotAdministrator:
        return UserMessageText{T(L"admin_installer", outcome.values), T(L"admin_title")};
    }
    return std::nullopt;
}
