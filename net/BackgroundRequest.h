#pragma once
// One GET request whose blocking calls (opening it, which connects and reads
// the answer's head, and the copy of its body into a sink) run on a thread of
// its own, so that the thread that downloads stops waiting for the server the
// moment its run is cancelled.
//
// The cancel closes the request handle, once: the documented way to end a
// blocked synchronous WinINet call, and on Windows the call then returns at
// once. Not every WinINet ends a read that is already waiting on a silent
// server that way (Wine's may wait on, and its close may itself wait), so the
// downloading thread never waits for a read to come back, and the close is
// made on a short-lived thread rather than the cancelling one: the request's
// thread finishes the read unseen and ends. Everything that read touches
// belongs to that thread; the sink it writes into does not, and is written
// only while the downloading thread waits (CopyBody).
#include "common/Outcome.h"
#include "net/DownloadAbort.h"
#include "net/WinInetApi.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

// What an answer's head says, as far as a download needs it.
struct AnswerHead {
    Outcome verdict;                     // the status as an outcome (success for 200 to 399)
    int status = 0;                      // 0 when it could not be read
    std::optional<std::uint64_t> length; // Content-Length
    std::wstring contentRange;           // empty when absent
    std::wstring validator;              // for an If-Range: a strong ETag, else Last-Modified; may be empty
};

// Where a body goes: a file, or memory.
class BodySink {
  public:
    // Appends size bytes; false leaves the system's code in error.
    virtual bool Write(const char* data, DWORD size, DWORD& error) = 0;
    // Drops everything written, for a body that comes again from its start.
    virtual bool Clear(DWORD& error) = 0;
    // What an outcome about a failed Write or Clear names.
    virtual std::wstring Name() const = 0;

  protected:
    ~BodySink() = default;
};

class BackgroundRequest {
  public:
    enum class Result { Done, Failed, WriteFailed, Interrupted };

    // Body reads go into a block of blockSize bytes. With an abort, its
    // request interrupts any wait, also one made before this one began.
    BackgroundRequest(std::size_t blockSize, DownloadAbort* abort);
    // Closes the request, unless an interruption has, and waits for its
    // thread to end, unless that thread still waits on the server.
    ~BackgroundRequest();
    BackgroundRequest(const BackgroundRequest&) = delete;
    BackgroundRequest& operator=(const BackgroundRequest&) = delete;

    // Opens url with the extra header lines given (each ending in "\r\n") and
    // reads the answer's head; fileName is the name the verdict gives. Failed:
    // error holds the code of the call that failed. Once per request.
    Result Open(const std::wstring& url, const std::wstring& headers, const std::wstring& fileName,
                AnswerHead& head, DWORD& error);

    // Reads the body to its end and writes each read whole to sink, both on
    // the request's thread: one hand-over for the whole body rather than one
    // per block, which a fast transfer would feel. After every read, an
    // interruption or the abort's request ends the copy and that read is not
    // written; the call returns with no write under way and none to come, so
    // the sink keeps exactly what came before. bytes: what was written, also
    // when the copy ended early. Failed: error holds the read's code;
    // WriteFailed: the write's. Once, after a successful Open.
    Result CopyBody(BodySink& sink, std::uint64_t& bytes, DWORD& error);

  private:
    struct Shared;
    enum class Job { None, Open, Copy };
    Result Run(Job job);

    std::shared_ptr<Shared> shared_;
    std::thread thread_; // none when no thread could be had: the jobs run on the caller's
    DownloadAbort::Watch watch_;
};
