#include "TestServerClient.h"

#include "common/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winhttp.h>

#include <cstdlib>

void handle_traits::WinHttp::Close(void* handle) {
    ::WinHttpCloseHandle(handle);
}

namespace {

std::string ReadSmallFile(const std::wstring& path) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::string();
    char buffer[256] = {};
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof(buffer) - 1, &read, nullptr))
        return std::string();
    return std::string(buffer, read);
}

} // namespace

TestServerClient::TestServerClient(const std::wstring& name)
    : folder_(std::wstring(HELM_BINARY_DIR) + L"\\testservers\\" + name + L"\\") {
    const std::string port = ReadSmallFile(folder_ + L"port");
    const std::string scheme = ReadSmallFile(folder_ + L"scheme");
    if (port.empty()) {
        error_ = "no port file: is the test registered with SERVERS / FIXTURES_REQUIRED for this server?";
        return;
    }
    https_ = scheme.rfind("https", 0) == 0;
    port_ = std::atoi(port.c_str());
}

std::wstring TestServerClient::BaseUrl() const {
    return (https_ ? L"https://localhost:" : L"http://127.0.0.1:") + std::to_wstring(port_) + L"/";
}

std::wstring TestServerClient::RootFolder() const {
    return folder_ + L"root\\";
}

bool TestServerClient::SetRules(const std::string& json, bool merge) {
    unsigned status = 0;
    const std::string answer = Control(L"POST", merge ? L"rules?merge=1" : L"rules", json, status);
    if (status != 200)
        error_ = "rules refused (" + std::to_string(status) + "): " + answer;
    return status == 200;
}

bool TestServerClient::ClearLog() {
    unsigned status = 0;
    Control(L"DELETE", L"log", std::string(), status);
    return status == 200;
}

std::string TestServerClient::Log() {
    unsigned status = 0;
    std::string answer = Control(L"GET", L"log", std::string(), status);
    if (status == 200 && answer.rfind('[', 0) == 0)
        return answer;
    // A log that could not be read must never pass for "nothing was asked
    // for": the test fails, and the text stands for a request no expectation
    // names.
    ADD_FAILURE() << "the test server's request log could not be read (status " << status << "): " << answer;
    return "[{\"path\": \"(request log unreadable)\"}]";
}

std::vector<std::string> TestServerClient::LoggedPaths() {
    return PathsInLog(Log());
}

std::string TestServerClient::Control(const wchar_t* verb, const std::wstring& path, const std::string& body,
                                      unsigned& status) {
    status = 0;
    if (!Ready())
        return std::string();
    unique_hhttp session(::WinHttpOpen(L"helm-tests", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return std::string();
    unique_hhttp connection(
        ::WinHttpConnect(session.get(), L"127.0.0.1", static_cast<INTERNET_PORT>(port_), 0));
    if (!connection)
        return std::string();
    const std::wstring object = L"/__control/" + path;
    unique_hhttp request(::WinHttpOpenRequest(connection.get(), verb, object.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              https_ ? WINHTTP_FLAG_SECURE : 0));
    if (!request)
        return std::string();
    if (https_) {
        // The control calls do not care which certificate the server uses.
        DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                      SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
        ::WinHttpSetOption(request.get(), WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof(flags));
    }
    const wchar_t* headers =
        body.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : L"Content-Type: application/json\r\n";
    if (!::WinHttpSendRequest(request.get(), headers, body.empty() ? 0 : static_cast<DWORD>(-1L),
                              body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data()),
                              static_cast<DWORD>(body.size()), static_cast<DWORD>(body.size()), 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr))
        return std::string();
    DWORD code = 0;
    DWORD size = sizeof(code);
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX))
        return std::string();
    std::string answer;
    char buffer[8192];
    DWORD read = 0;
    while (::WinHttpReadData(request.get(), buffer, sizeof(buffer), &read) && read > 0)
        answer.append(buffer, read);
    status = code;
    return answer;
}

std::vector<std::string> PathsInLog(const std::string& logJson) {
    std::vector<std::string> paths;
    const std::string key = "\"path\": \"";
    for (std::size_t at = logJson.find(key); at != std::string::npos; at = logJson.find(key, at)) {
        at += key.size();
        const std::size_t end = logJson.find('"', at);
        if (end == std::string::npos)
            break;
        paths.push_back(logJson.substr(at, end - at));
        at = end;
    }
    return paths;
}
