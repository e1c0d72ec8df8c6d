#pragma once
#include <windows.h>

#include <functional>
#include <memory>

// One install or uninstall run on a worker thread of its own. The thread is
// started with the standard thread facility and detached at once; it is never
// joined. The user-interface thread never waits for it: it asks whether the
// work has returned, or is told by a posted message.
class WorkerRun {
  public:
    // Starts work on a new thread. Should no thread be available, the work
    // runs on the calling thread before Start returns. With a window, the
    // message is posted to it once the work has returned (and Finished holds).
    static WorkerRun Start(std::function<void()> work, HWND notify = nullptr, UINT message = 0);

    // True once the work has returned.
    bool Finished() const;

  private:
    struct Shared;
    explicit WorkerRun(std::shared_ptr<Shared> shared);
    std::shared_ptr<Shared> shared_;
};
