#pragma once
// What the install and uninstall sequence tests share: a machine without any
// installation, and a way to follow every progress value of a run. The
// records' keys come from RegistryTestSupport.h.
#include "RegistryTestSupport.h"

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace helmtest {

// Removes every trace of either brand: registry records, install and maker
// folders, shortcuts, the older-driver marker.
void ForgetInstallations();
void CreateOlderDriverMarker();

// The shortcut files the uninstall removes (the two Tessaro names are one
// file today).
std::vector<std::wstring> KnownShortcutFiles();

// Lets a test see every value a run stores, however briefly it stands, by
// polling GetProgress as the window does: the run's observer holds the worker
// until the polling thread has read the value it just stored.
class ProgressFollower {
  public:
    std::function<void(std::int32_t)> Observer();
    // Runs work on a new thread and polls progress on this one until work has
    // returned; the distinct values read, in order. onSeen runs on this thread
    // for each new value before the worker may go on.
    std::vector<std::int32_t> Follow(const std::function<void()>& work,
                                     const std::function<std::int32_t()>& progress,
                                     const std::function<void(std::int32_t)>& onSeen = {});

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int32_t seen_ = -1;
    bool released_ = false;
};

} // namespace helmtest
