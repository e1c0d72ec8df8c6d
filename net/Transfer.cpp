#include "net/PackageTransfer.h"

#include "net/BackgroundRequest.h"
#include "net/ByteRange.h"
#include "net/NetworkErrorText.h"
#include "net/RequestLogLine.h"

#include <wininet.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

// WinINet costs the same per call whatever the size of the read, so small
// reads, not the network, bound a fast transfer. A read fills its block
// before it returns (or the body ends), so the block is also what a cut
// loses; bench/download shows the figures behind the choice.
constexpr std::size_t kBlockSize = 1024 * 1024;

// Before each retry: a connection that dropped for a moment gets a little
// longer each time to come back.
constexpr std::chrono::milliseconds kRetryPauses[] = {500ms, 1000ms, 2000ms};
constexpr int kRetries = static_cast<int>(sizeof(kRetryPauses) / sizeof(kRetryPauses[0]));

bool Empty(HANDLE file) {
    LARGE_INTEGER start{};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
}

// The file as the attempts leave it to the next.
struct Progress {
    std::uint64_t received = 0;         // bytes in the file
    std::optional<std::uint64_t> total; // the whole body's size, once an answer has told it
    std::wstring validator;             // of the answer the file's bytes came from
    Outcome failure;                    // why the last attempt ended early
};

enum class End { Complete, Aborted, Early, Failed };

struct Attempt {
    End end;
    Outcome outcome;
};

std::wstring RangeHeaders(const Progress& progress) {
    if (progress.received == 0)
        return std::wstring();
    std::wstring headers = L"Range: bytes=" + std::to_wstring(progress.received) + L"-\r\n";
    // A body that changed since then comes whole (200) instead of a piece
    // that would not fit.
    if (!progress.validator.empty())
        headers += L"If-Range: " + progress.validator + L"\r\n";
    return headers;
}

// One request, read to its end or until it fails. A retry's failures all
// count as ending early; the first request's failures before the body are
// final, as a missing file or an unreachable server are no cut transfer.
Attempt TransferOnce(HANDLE file, const std::wstring& url, const std::wstring& fileName,
                     const std::wstring& targetPath, bool retry, Progress& progress, DownloadAbort* abort) {
    const End refused = retry ? End::Early : End::Failed;
    BackgroundRequest request(kBlockSize, abort);
    // Each attempt is a request of its own in the log, a resumed one too.
    RequestLogLine logLine(url);
    AnswerHead head;
    DWORD error = 0;
    switch (request.Open(url, RangeHeaders(progress), fileName, head, error)) {
    case BackgroundRequest::Result::Interrupted:
        return {End::Aborted, {}};
    case BackgroundRequest::Result::Failed:
    case BackgroundRequest::Result::WriteFailed: // an open writes nothing
        return {refused, NetworkErrorOutcome(error, L"")};
    case BackgroundRequest::Result::Done:
        break;
    }
    logLine.status = head.status;

    if (progress.received > 0 &&
        ContinuesAt(head.status, head.contentRange, progress.received, progress.total)) {
        progress.total = ParseContentRange(head.contentRange)->total;
    } else {
        if (progress.received > 0) {
            if (!Empty(file))
                return {End::Failed, NetworkErrorOutcome(::GetLastError(), targetPath)};
            progress.received = 0;
            progress.validator.clear();
            // Not the body from its start either: ask again, for all of it.
            if (head.status != 200)
                return {End::Early, head.verdict.Succeeded() ? progress.failure : head.verdict};
        }
        if (!head.verdict.Succeeded())
            return {refused, head.verdict};
        progress.total = StatusCarriesBody(head.status) ? head.length : std::nullopt;
        progress.validator = head.validator;
    }

    std::uint64_t copied = 0;
    const BackgroundRequest::Result copy = request.CopyBody(file, copied, error);
    progress.received += copied;
    logLine.bytes += copied;
    switch (copy) {
    case BackgroundRequest::Result::Interrupted:
        return {End::Aborted, {}};
    case BackgroundRequest::Result::Failed:
        return {End::Early, NetworkErrorOutcome(error, fileName)};
    case BackgroundRequest::Result::WriteFailed:
        return {End::Failed, NetworkErrorOutcome(error, targetPath)};
    case BackgroundRequest::Result::Done:
        break;
    }
    // WinINet ends a body that the server cut off like a complete one; only
    // the count of bytes against the announced length tells the two apart.
    if (progress.total && progress.received < *progress.total)
        return {End::Early, NetworkErrorOutcome(ERROR_INTERNET_CONNECTION_RESET, fileName)};
    return {End::Complete, {}};
}

} // namespace

Outcome TransferToFile(HANDLE file, const std::wstring& url, const std::wstring& fileName,
                       const std::wstring& targetPath, DownloadAbort* abort) {
    Progress progress;
    for (int retry = 0;; ++retry) {
        const Attempt attempt = TransferOnce(file, url, fileName, targetPath, retry > 0, progress, abort);
        if (attempt.end != End::Early)
            return attempt.end == End::Failed ? attempt.outcome : Outcome{};
        if (retry == kRetries)
            return attempt.outcome;
        progress.failure = attempt.outcome;
        if (abort ? abort->WaitFor(kRetryPauses[retry])
                  : (std::this_thread::sleep_for(kRetryPauses[retry]), false))
            return {};
    }
}
