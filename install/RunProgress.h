#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

// The percentage an install or uninstall run reports: written by the run's
// worker thread, polled by the window's thread without a lock.
class RunProgress {
  public:
    std::int32_t Get() const { return value_.load(); }

    void Set(std::int32_t value) {
        value_.store(value);
        if (observer_)
            observer_(value);
    }

    // Called on the worker thread right after each value is stored, so that a
    // test can follow every step of a run however short it is. Must be set
    // before the run starts; the installer itself never sets one.
    void SetObserver(std::function<void(std::int32_t)> observer) { observer_ = std::move(observer); }

  private:
    std::atomic<std::int32_t> value_{0};
    std::function<void(std::int32_t)> observer_;
};
