#include "net/NetworkErrorText.h"

std::wstring FileNamePart(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring TrimTrailingSpace(std::wstring text) {
    const std::size_t last = text.find_last_not_of(L" \t\r\n");
    text.erase(last == std::wstring::npos ? 0 : last + 1);
    return text;
}

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

int LeadingStatusNumber(const std::wstring& statusText) {
    int status = 0;
    for (const wchar_t c : statusText) {
        if (c < L'0' || c > L'9')
            break;
        status = status * 10 + (c - L'0');
        if (status > 99999) // no status has more digits; keep the sum in range
            return 0;
    }
    return status;
}

bool IsSuccessStatus(int status) {
    return status >= 200 && status <= 399;
}

bool StatusCarriesBody(int status) {
    return status >= 200 && status != 204 && status != 304;
}

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

Outcome NoConnectionOutcome() {
    return {Failure::NoConnection, L"error_no_network", {}, 0};
}

Outcome HttpStatusOutcome(const std::wstring& statusText, const std::wstring& fileName) {
    TranslatedText message = HttpStatusMessage(statusText, fileName);
    return {Failure::ServerStatus, std::move(message.key), std::move(message.values), 0};
}

Outcome NetworkErrorOutcome(std::uint32_t code, const std::wstring& fileName) {
    return {Failure::NetworkError, code == kSslCertificateRejected ? L"ssl_error" : L"", {fileName}, code};
}
