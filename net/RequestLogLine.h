#pragma once
// The log's line for one request to the download server.
#include "platform/RunLog.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

// One line in the log for each request, written when the request is over,
// however it ends: the address, the HTTP status (none when no answer came),
// the body bytes received and the time taken.
class RequestLogLine {
  public:
    explicit RequestLogLine(std::wstring url) : url(std::move(url)), started(::GetTickCount64()) {}
    RequestLogLine(const RequestLogLine&) = delete;
    RequestLogLine& operator=(const RequestLogLine&) = delete;
    ~RequestLogLine() {
        if (!RunLogOpen())
            return;
        LogEvent(L"request: " + url + L": " +
                 (status ? L"HTTP " + std::to_wstring(status) : std::wstring(L"no answer")) + L", " +
                 std::to_wstring(bytes) + L" bytes, " + std::to_wstring(::GetTickCount64() - started) +
                 L" ms");
    }
    int status = 0;
    std::uint64_t bytes = 0;

  private:
    std::wstring url;
    ULONGLONG started;
};
