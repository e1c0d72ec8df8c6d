#pragma once
#include "install/RunResult.h"
#include "net/DownloadAbort.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>

// What one install or uninstall run shares between the window's thread and the
// run's worker: the percentage the worker reports and the window polls, the
// cancel request the window makes and the worker and its download obey, the
// package check, and the run's outcome. One object per run, owned by the window; the worker only
// borrows it. A cancel request holds from the moment it is made until the
// object is gone: nothing in the run clears it. Once the run has begun its
// last step, a cancel request is refused: the run completes.
class InstallSession {
  public:
    InstallSession() = default;
    InstallSession(const InstallSession&) = delete;
    InstallSession& operator=(const InstallSession&) = delete;

    std::int32_t GetProgress() const { return progress_.load(); }
    void SetProgress(std::int32_t value) {
        progress_.store(value);
        if (observer_)
            observer_(value);
    }
    // Called on the worker thread right after each value is stored, so that a
    // test can follow every step of a run however short it is. Must be set
    // before the run starts; the installer itself never sets one.
    void SetProgressObserver(std::function<void(std::int32_t)> observer) { observer_ = std::move(observer); }

    // From any thread; also interrupts a download that waits on the server.
    // False, and nothing requested, once the last step has begun.
    bool Cancel() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (lastStepBegun_)
            return false;
        cancel_.Request();
        return true;
    }
    bool CancelRequested() const { return cancel_.Requested(); }
    // The worker, as its last step begins: true when the run goes on to
    // complete, false when a cancel request came first. Either way the
    // question is settled once: no cancel request is accepted after a true.
    bool BeginLastStep() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (cancel_.Requested())
            return false;
        lastStepBegun_ = true;
        return true;
    }
    // The cancel request as the download obeys it.
    DownloadAbort& CancelSignal() { return cancel_; }

    // Set by the worker as the run ends; read by the window once it has.
    void SetResult(RunResult result) {
        std::lock_guard<std::mutex> lock(mutex_);
        result_ = std::move(result);
    }
    RunResult GetResult() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return result_;
    }

  private:
    std::atomic<std::int32_t> progress_{0};
    std::function<void(std::int32_t)> observer_;
    DownloadAbort cancel_;
    mutable std::mutex mutex_; // guards the result and the last-step decision
    bool lastStepBegun_ = false;
    RunResult result_;
};
