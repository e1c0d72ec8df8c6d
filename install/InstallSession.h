#pragma once
#include "common/Outcome.h"
#include "net/DownloadAbort.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>

// What one install or uninstall run shares between the window's thread and the
// run's worker: the percentage the worker reports and the window polls, the
// cancel request the window makes and the worker and its download obey, and
// the run's outcome. One object per run, owned by the window; the worker only
// borrows it. A cancel request holds from the moment it is made until the
// object is gone: nothing in the run clears it.
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

    // From any thread. Also interrupts a download that waits on the server.
    void Cancel() { cancel_.Request(); }
    bool CancelRequested() const { return cancel_.Requested(); }
    // The cancel request as the download obeys it.
    DownloadAbort& CancelSignal() { return cancel_; }

    // Set by the worker as the run ends; read by the window once it has.
    void SetOutcome(Outcome outcome) {
        std::lock_guard<std::mutex> lock(mutex_);
        outcome_ = std::move(outcome);
    }
    Outcome GetOutcome() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return outcome_;
    }

  private:
    std::atomic<std::int32_t> progress_{0};
    std::function<void(std::int32_t)> observer_;
    DownloadAbort cancel_;
    mutable std::mutex mutex_;
    Outcome outcome_;
};
