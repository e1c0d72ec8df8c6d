#include "net/Transfer.h"

#include "net/ByteRange.h"
#include "net/NetworkErrorText.h"
#include "net/RequestLogLine.h"

#include <wininet.h>

#include <algorithm>
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
constexpr int kLastPause = static_cast<int>(sizeof(kRetryPauses) / sizeof(kRetryPauses[0])) - 1;

// The sink as the attempts leave it to the next.
struct Progress {
    std::uint64_t received = 0;         // bytes in the sink
    std::optional<std::uint64_t> total; // the whole body's size, once an answer has told it
    std::wstring validator;             // of the answer the sink's bytes came from
    Outcome failure;                    // why the last attempt ended early
};

enum class End { Complete, Aborted, Early, Failed };

struct Attempt {
    End end;
    Outcome outcome;
};

// Asks for the rest only of a body that can be recognised again: without a
// validator the server's file may have been replaced meanwhile.
std::wstring RangeHeaders(const Progress& progress) {
    if (progress.received == 0 || progress.validator.empty())
        return std::wstring();
    return L"Range: bytes=" + std::to_wstring(progress.received) + L"-\r\nIf-Range: " + progress.validator +
           L"\r\n";
}

// One request, read to its end or until it fails. A retry's failures all
// count as ending early; the first request's failures before the body are
// final, as a missing file or an unreachable server are no cut transfer.
Attempt TransferOnce(const TransferRequest& r, bool retry, Progress& progress, DownloadAbort* abort) {
    const End refused = retry ? End::Early : End::Failed;
    BackgroundRequest request(r.sink ? kBlockSize : 0, abort);
    RequestLogLine logLine(r.url);
    AnswerHead head;
    DWORD error = 0;
    const std::wstring headers = RangeHeaders(progress);
    switch (request.Open(r.url, headers, r.fileName, head, error)) {
    case BackgroundRequest::Result::Interrupted:
        return {End::Aborted, {}};
    case BackgroundRequest::Result::Failed:
    case BackgroundRequest::Result::WriteFailed: // an open writes nothing
        return {refused, NetworkErrorOutcome(error, r.refusedName)};
    case BackgroundRequest::Result::Done:
        break;
    }
    logLine.status = head.status;
    if (!r.sink)
        return {head.verdict.Succeeded() ? End::Complete : End::Failed, head.verdict};

    if (!headers.empty() && head.validator == progress.validator &&
        ContinuesAt(head.status, head.contentRange, progress.received, progress.total)) {
        progress.total = ParseContentRange(head.contentRange)->total;
    } else {
        if (progress.received > 0) {
            if (!r.sink->Clear(error))
                return {End::Failed, NetworkErrorOutcome(error, r.sink->Name())};
            progress.received = 0;
            // Not the rest of the same file, nor the body from its start
            // (a 206 of a file replaced meanwhile): ask again, for all of it.
            if (head.status != 200)
                return {End::Early, head.verdict.Succeeded() ? progress.failure : head.verdict};
        }
        if (!head.verdict.Succeeded())
            return {refused, head.verdict};
        progress.total = StatusCarriesBody(head.status) ? head.length : std::nullopt;
        progress.validator = head.validator;
    }

    std::uint64_t copied = 0;
    const BackgroundRequest::Result copy = request.CopyBody(*r.sink, copied, error);
    progress.received += copied;
    logLine.bytes += copied;
    switch (copy) {
    case BackgroundRequest::Result::Interrupted:
        return {End::Aborted, {}};
    case BackgroundRequest::Result::Failed:
        return {End::Early, NetworkErrorOutcome(error, r.fileName)};
    case BackgroundRequest::Result::WriteFailed:
        return {End::Failed, NetworkErrorOutcome(error, r.sink->Name())};
    case BackgroundRequest::Result::Done:
        break;
    }
    // WinINet ends a body that the server cut off like a complete one; only
    // the count of bytes against the announced length tells the two apart.
    if (progress.total && progress.received < *progress.total)
        return {End::Early, NetworkErrorOutcome(ERROR_INTERNET_CONNECTION_RESET, r.fileName)};
    return {End::Complete, {}};
}

} // namespace

TransferResult Transfer(const TransferRequest& request, DownloadAbort* abort) {
    Progress progress;
    for (int retry = 0;; ++retry) {
        const Attempt attempt = TransferOnce(request, retry > 0, progress, abort);
        if (attempt.end == End::Aborted)
            return {{}, true};
        if (attempt.end != End::Early || retry >= request.retries)
            return {attempt.outcome, false};
        progress.failure = attempt.outcome;
        const std::chrono::milliseconds pause = kRetryPauses[std::min(retry, kLastPause)];
        if (abort ? abort->WaitFor(pause) : (std::this_thread::sleep_for(pause), false))
            return {{}, true};
    }
}
