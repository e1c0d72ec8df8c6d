#include "net/BackgroundRequest.h"

#include "net/HttpRequest.h"
#include "net/NetworkErrorText.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

AnswerHead ReadHead(HINTERNET request, const std::wstring& fileName) {
    AnswerHead head;
    DWORD error = 0;
    const std::wstring status = AnswerHeader(request, HTTP_QUERY_STATUS_CODE, &error);
    head.status = LeadingStatusNumber(status);
    if (status.empty())
        head.verdict = NetworkErrorOutcome(error, fileName);
    else if (!IsSuccessStatus(head.status))
        head.verdict = HttpStatusOutcome(status, fileName);
    head.length = AnnouncedLength(request);
    head.contentRange = AnswerHeader(request, HTTP_QUERY_CONTENT_RANGE);
    // A weak tag only says the body means the same, not that its bytes are.
    const std::wstring tag = AnswerHeader(request, HTTP_QUERY_ETAG);
    head.validator =
        !tag.empty() && tag.rfind(L"W/", 0) != 0 ? tag : AnswerHeader(request, HTTP_QUERY_LAST_MODIFIED);
    return head;
}

} // namespace

// Shared by the downloading thread and the request's own, either of which may
// let go first. The job's inputs and results are handed over under the
// mutex; in between, only the side running the job touches them.
struct BackgroundRequest::Shared : std::enable_shared_from_this<Shared> {
    Shared(std::size_t size, DownloadAbort* stop) : abort(stop), blockSize(size) {}

    std::mutex mutex;
    std::condition_variable changed;
    Job job = Job::None;  // posted by the downloading thread, taken by the request's
    bool done = false;    // the job has returned and its results are in place
    bool busy = false;    // the request's thread runs a job
    bool left = false;    // the downloading thread waits no more; no job runs after this
    bool writing = false; // a write to the sink is under way; the downloading thread waits for its end
    // The open request, until the side that leaves takes it to close it.
    HINTERNET request = nullptr;

    // Looked at only under the mutex and before leaving: until then the
    // downloading thread waits, and the abort outlives its wait.
    DownloadAbort* const abort;
    unique_hinternet internet;
    const std::size_t blockSize;
    std::wstring url, headers, fileName;
    BodySink* sink = nullptr;
    Result result = Result::Done;
    AnswerHead head;
    std::uint64_t copied = 0;
    DWORD error = 0;

    // From any thread, and more than once: stops the waiting and closes the
    // request, the first time only. aside: on a thread of its own, for a
    // cancel, whose thread (the window's) must not wait: under Wine, closing
    // a request that a read is waiting on can take seconds. True when no
    // job was running, so the request's thread ends at once.
    bool Leave(bool aside) {
        HINTERNET open = nullptr;
        bool idle = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            left = true;
            idle = !busy;
            open = std::exchange(request, nullptr);
        }
        changed.notify_all();
        if (!open)
            return idle;
        unique_hinternet closing(open);
        if (aside) {
            try {
                // Keeps the session, the request's parent, open until then.
                // Should the thread not start, the handle is closed here
                // after all, with the callable that carried it.
                std::thread([handle = std::move(closing), self = shared_from_this()]() mutable {
                    handle.reset();
                }).detach();
            } catch (const std::system_error&) {
            }
        }
        return idle;
    }

    // Runs one job, without the lock; open is the request as it was when the
    // job was taken.
    void Perform(Job which, HINTERNET open) {
        if (which == Job::Open) {
            internet = OpenInternet(error);
            if (!internet) {
                result = Result::Failed;
                return;
            }
            unique_hinternet opened = OpenRequest(internet.get(), url, error, headers);
            if (!opened) {
                result = Result::Failed;
                return;
            }
            head = ReadHead(opened.get(), fileName);
            std::lock_guard<std::mutex> lock(mutex);
            // Left while connecting: nobody closes the request but this.
            if (!left)
                request = opened.release();
            result = Result::Done;
            return;
        }
        Copy(open);
    }

    // The body into the sink, read by read. No write begins once the
    // downloading thread has left; one that began before, it waits for.
    void Copy(HINTERNET open) {
        std::vector<char> block(blockSize);
        for (;;) {
            DWORD read = 0;
            const ReadResult outcome =
                ReadInto(open, block.data(), static_cast<DWORD>(block.size()), read, error);
            std::unique_lock<std::mutex> lock(mutex);
            // Before the read's result: closing the request is how an
            // interruption ends a read, which then fails.
            if (left || (abort && abort->Requested())) {
                result = Result::Interrupted;
                return;
            }
            if (outcome != ReadResult::Data) {
                result = outcome == ReadResult::Failed ? Result::Failed : Result::Done;
                return;
            }
            writing = true;
            lock.unlock();
            DWORD writeError = 0;
            const bool written = sink->Write(block.data(), read, writeError);
            lock.lock();
            writing = false;
            if (left)
                changed.notify_all();
            if (!written) {
                error = writeError;
                result = Result::WriteFailed;
                return;
            }
            copied += read;
        }
    }

    void Serve() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return job != Job::None || left; });
            if (left)
                return;
            const Job next = std::exchange(job, Job::None);
            const HINTERNET open = request;
            busy = true;
            lock.unlock();
            Perform(next, open);
            lock.lock();
            busy = false;
            done = true;
            changed.notify_all();
        }
    }
};

BackgroundRequest::BackgroundRequest(std::size_t blockSize, DownloadAbort* abort)
    : shared_(std::make_shared<Shared>(blockSize, abort)),
      watch_(abort, [shared = shared_] { shared->Leave(true); }) {
    try {
        thread_ = std::thread([shared = shared_] { shared->Serve(); });
    } catch (const std::system_error&) {
        // No thread to spare: the jobs run on the caller's, where only
        // closing the request can end a wait.
    }
}

BackgroundRequest::~BackgroundRequest() {
    // No job runs now, unless a cancel has left already and a read still
    // waits on the server. Otherwise the thread is seen to its end, so that
    // it, and the session it closes, never outlive a finished download.
    const bool idle = shared_->Leave(false);
    if (thread_.joinable()) {
        if (idle)
            thread_.join();
        else
            thread_.detach();
    }
}

BackgroundRequest::Result BackgroundRequest::Run(Job job) {
    Shared& s = *shared_;
    std::unique_lock<std::mutex> lock(s.mutex);
    if (s.left)
        return Result::Interrupted;
    if (!thread_.joinable()) {
        const HINTERNET open = s.request;
        lock.unlock();
        s.Perform(job, open);
        lock.lock();
        return s.left ? Result::Interrupted : s.result;
    }
    s.job = job;
    s.done = false;
    s.changed.notify_all();
    s.changed.wait(lock, [&s] { return s.done || (s.left && !s.writing); });
    return s.left ? Result::Interrupted : s.result;
}

BackgroundRequest::Result BackgroundRequest::Open(const std::wstring& url, const std::wstring& headers,
                                                  const std::wstring& fileName, AnswerHead& head,
                                                  DWORD& error) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->url = url;
        shared_->headers = headers;
        shared_->fileName = fileName;
    }
    const Result result = Run(Job::Open);
    if (result != Result::Interrupted) {
        head = shared_->head;
        error = shared_->error;
    }
    return result;
}

BackgroundRequest::Result BackgroundRequest::CopyBody(BodySink& sink, std::uint64_t& bytes, DWORD& error) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->sink = &sink;
    }
    const Result result = Run(Job::Copy);
    std::lock_guard<std::mutex> lock(shared_->mutex);
    bytes = shared_->copied;
    error = result == Result::Failed || result == Result::WriteFailed ? shared_->error : 0;
    return result;
}
