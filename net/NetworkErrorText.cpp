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

Outcome NoConnectionOutcome() {
    return {Failure::NoConnection, {}, 0};
}

Outcome HttpStatusOutcome(const std::wstring& statusText, const std::wstring& fileName) {
    return {Failure::ServerStatus, {statusText, fileName}, 0};
}

Outcome NetworkErrorOutcome(std::uint32_t code, const std::wstring& fileName) {
    return {Failure::NetworkError, {fileName}, code};
}
