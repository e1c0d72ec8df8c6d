#include "ui/WorkerRun.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <utility>

// Owned jointly by the window's handle and the thread, so that either may be
// the last to let go.
struct WorkerRun::Shared {
    std::atomic<bool> finished{false};
};

WorkerRun::WorkerRun(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

WorkerRun WorkerRun::Start(std::function<void()> work, HWND notify, UINT message) {
    auto shared = std::make_shared<Shared>();
    auto body = [shared, work = std::move(work), notify, message] {
        // Nothing may leave the thread: an escaping exception would end the
        // process without a word.
        try {
            work();
        } catch (...) {
        }
        shared->finished.store(true);
        if (notify)
            ::PostMessageW(notify, message, 0, 0);
    };
    try {
        std::thread(body).detach();
    } catch (const std::system_error&) {
        body();
    }
    return WorkerRun(std::move(shared));
}

bool WorkerRun::Finished() const {
    return shared_->finished.load();
}
