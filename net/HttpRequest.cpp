#include "net/HttpRequest.h"

#include "net/ByteRange.h"

#include <array>

namespace {

DWORD LastErrorOf(bool bound) {
    return bound ? ::GetLastError() : static_cast<DWORD>(ERROR_PROC_NOT_FOUND);
}

} // namespace

unique_hinternet OpenInternet(DWORD& error) {
    const auto open = WinInet() ? WinInet()->InternetOpenW : nullptr;
    unique_hinternet internet(open ? open(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0) : nullptr);
    error = internet ? 0 : LastErrorOf(open != nullptr);
    return internet;
}

unique_hinternet OpenRequest(HINTERNET internet, const std::wstring& url, DWORD& error,
                             const std::wstring& headers) {
    const auto open = WinInet() ? WinInet()->InternetOpenUrlW : nullptr;
    const wchar_t* extra = headers.empty() ? nullptr : headers.c_str();
    unique_hinternet request(
        open ? open(internet, url.c_str(), extra, static_cast<DWORD>(headers.size()), INTERNET_FLAG_RELOAD, 0)
             : nullptr);
    error = request ? 0 : LastErrorOf(open != nullptr);
    return request;
}

std::wstring AnswerHeader(HINTERNET request, DWORD query, DWORD* error) {
    const auto queryInfo = WinInet() ? WinInet()->HttpQueryInfoW : nullptr;
    std::array<wchar_t, 256> buffer{};
    DWORD length = static_cast<DWORD>(sizeof(buffer) - sizeof(wchar_t));
    if (!queryInfo || !queryInfo(request, query, buffer.data(), &length, nullptr)) {
        if (error)
            *error = LastErrorOf(queryInfo != nullptr);
        return std::wstring();
    }
    return buffer.data();
}

std::optional<std::uint64_t> AnnouncedLength(HINTERNET request) {
    return ParseByteCount(AnswerHeader(request, HTTP_QUERY_CONTENT_LENGTH));
}

ReadResult ReadInto(HINTERNET request, char* buffer, DWORD size, DWORD& read, DWORD& error) {
    read = 0;
    error = 0;
    const auto readFile = WinInet() ? WinInet()->InternetReadFile : nullptr;
    if (readFile && readFile(request, buffer, size, &read))
        return read == 0 ? ReadResult::End : ReadResult::Data;
    read = 0;
    error = LastErrorOf(readFile != nullptr);
    return error == 0 || error == static_cast<DWORD>(E_ABORT) ? ReadResult::End : ReadResult::Failed;
}
