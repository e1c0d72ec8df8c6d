#include "net/DownloadAbort.h"

#include <utility>

void DownloadAbort::Request() {
    std::lock_guard<std::mutex> lock(mutex_);
    requested_.store(true);
    requestMade_.notify_all();
    // Run under the lock: a watch that ends meanwhile waits for it, so the
    // interruption never reaches a transfer that has gone.
    if (interrupt_)
        std::exchange(interrupt_, nullptr)();
}

bool DownloadAbort::WaitFor(std::chrono::milliseconds time) {
    std::unique_lock<std::mutex> lock(mutex_);
    return requestMade_.wait_for(lock, time, [this] { return requested_.load(); });
}

DownloadAbort::Watch::Watch(DownloadAbort* abort, std::function<void()> interrupt) : abort_(abort) {
    if (!abort_)
        return;
    std::lock_guard<std::mutex> lock(abort_->mutex_);
    if (abort_->requested_.load())
        interrupt();
    else
        abort_->interrupt_ = std::move(interrupt);
}

DownloadAbort::Watch::~Watch() {
    if (!abort_)
        return;
    std::lock_guard<std::mutex> lock(abort_->mutex_);
    abort_->interrupt_ = nullptr;
}
