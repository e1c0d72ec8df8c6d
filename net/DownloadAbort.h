#pragma once
// A run's request to stop its downloads. It is made once, from any thread
// (the window's), and holds from then on. A transfer does not merely notice
// it at its next block: while a transfer waits on the server, it keeps an
// interruption here, which the request runs at once, so that a Cancel is not
// held up by a server that has stopped sending. Free of <windows.h>.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

class DownloadAbort {
  public:
    DownloadAbort() = default;
    DownloadAbort(const DownloadAbort&) = delete;
    DownloadAbort& operator=(const DownloadAbort&) = delete;

    // From any thread. Runs the interruption in place, if any, before it
    // returns.
    void Request();
    bool Requested() const { return requested_.load(); }

    // Sleeps for the time given, or less if the request comes first; true
    // when it came.
    bool WaitFor(std::chrono::milliseconds time);

    // Keeps an interruption in place for its lifetime: the request runs it
    // once, on the requesting thread, and a request made before the watch
    // began runs it in the constructor. It never runs after the destructor
    // has returned. With no abort, nothing is kept.
    class Watch {
      public:
        Watch(DownloadAbort* abort, std::function<void()> interrupt);
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

      private:
        DownloadAbort* abort_;
    };

  private:
    std::atomic<bool> requested_{false};
    std::mutex mutex_;
    std::condition_variable requestMade_;
    std::function<void()> interrupt_;
};
