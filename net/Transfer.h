#pragma once
// Every request to the download server, whatever it wants of the answer: its
// head alone (is the file there?), its body into memory (the manifest) or into
// a file (the package). One request on a thread of its own, one read loop, one
// status and length check, one line in the log per request.
#include "common/Outcome.h"
#include "net/BackgroundRequest.h"
#include "net/DownloadAbort.h"

#include <string>

struct TransferRequest {
    std::wstring url;
    std::wstring fileName;    // what outcomes about the download name
    std::wstring refusedName; // what an outcome names when no request could be made at all
    BodySink* sink = nullptr; // none: the answer's head is all that is wanted
    // A body that ends early (a failed read, or fewer bytes than the answer
    // announced) is asked for again this many times. The next request asks
    // only for the rest, "Range: bytes=N-" with an If-Range, when the answer
    // named a validator (a strong ETag, else Last-Modified); a 206 is
    // appended only when it carries exactly that rest and the same
    // validator. Anything else starts the sink again from nothing.
    int retries = 0;
};

struct TransferResult {
    Outcome outcome; // a success when aborted
    bool aborted = false;
};

// The abort is tested after every read: once it holds, the transfer (retries
// included) ends, and the read during which it came is not written. Its
// request also interrupts any wait on the server.
TransferResult Transfer(const TransferRequest& request, DownloadAbort* abort);
