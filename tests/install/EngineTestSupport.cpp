#include "EngineTestSupport.h"

#include "InstallTestSupport.h"
#include "install/Shortcuts.h"
#include "platform/SystemFolders.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace helmtest {

std::vector<std::wstring> KnownShortcutFiles() {
    const std::wstring desktop = DesktopFolder();
    const std::wstring programs = CommonProgramsFolder();
    return {desktop + L"Helmview.lnk", desktop + L"Norvale SSD Helmview.lnk",
            desktop + L"Tessaro SSD Helmview.lnk", programs + L"Helmview.lnk"};
}

void ForgetInstallations() {
    DeleteMachineTree(L"SOFTWARE\\Norvale");
    DeleteMachineTree(L"SOFTWARE\\Tessaro");
    DeleteMachineTree(kNorvaleUninstallKey);
    DeleteMachineTree(kTessaroUninstallKey);
    DeleteClassesTree(L"CLSID\\{109DC3E4-B9FF-4AF3-9008-AB13705D4E5F}");
    // An install run leaves its folder as the current directory.
    ::SetCurrentDirectoryW(SystemFolderPath().c_str());
    DeleteTree(ProgramFilesX86Path() + L"\\Norvale");
    DeleteTree(ProgramFilesX86Path() + L"\\Tessaro");
    for (const std::wstring& file : KnownShortcutFiles())
        ::DeleteFileW(file.c_str());
}

void CreateOlderDriverMarker() {
    CreateClassesKey(kOlderDriverMarkerKey);
}

std::function<void(std::int32_t)> ProgressFollower::Observer() {
    return [this](std::int32_t value) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(30), [&] { return seen_ == value || released_; });
    };
}

std::vector<std::int32_t> ProgressFollower::Follow(const std::function<void()>& work,
                                                   const std::function<std::int32_t()>& progress,
                                                   const std::function<void(std::int32_t)>& onSeen) {
    std::atomic<bool> done{false};
    std::int32_t last = progress(); // before the worker can move it
    std::thread worker([&] {
        work();
        done = true;
    });
    std::vector<std::int32_t> values;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(4);
    for (;;) {
        const std::int32_t value = progress();
        if (value != last) {
            values.push_back(value);
            last = value;
            if (onSeen)
                onSeen(value);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_ = value;
            }
            changed_.notify_all();
        } else if (done) {
            break;
        } else if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the run did not end in time";
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
    }
    changed_.notify_all();
    worker.join();
    return values;
}

} // namespace helmtest
