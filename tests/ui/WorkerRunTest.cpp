#include "ui/WorkerRun.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

constexpr UINT kReturned = WM_APP + 7;

// Whether Finished reports the work returned within half a minute.
bool ReturnsInTime(const WorkerRun& run) {
    for (int i = 0; i < 3000 && !run.Finished(); ++i)
        ::Sleep(10);
    return run.Finished();
}

TEST(WorkerRun, ReportsWhenTheWorkHasReturned) {
    std::atomic<bool> release{false};
    const WorkerRun run = WorkerRun::Start([&release] {
        while (!release.load())
            ::Sleep(5);
    });
    ::Sleep(50);
    EXPECT_FALSE(run.Finished());
    release = true;
    EXPECT_TRUE(ReturnsInTime(run));
}

TEST(WorkerRun, WorkThatThrowsStillCountsAsReturned) {
    const WorkerRun run = WorkerRun::Start([] { throw std::runtime_error("failed"); });
    EXPECT_TRUE(ReturnsInTime(run));
}

TEST(WorkerRun, RunsOnAThreadOfItsOwnAndPostsItsEndAfterwards) {
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const DWORD self = ::GetCurrentThreadId();
    std::atomic<DWORD> worker{0};
    const WorkerRun run = WorkerRun::Start([&worker] { worker = ::GetCurrentThreadId(); }, window, kReturned);
    MSG msg;
    // The notice comes once the work has returned, so the window then finds it finished.
    ASSERT_GT(::GetMessageW(&msg, window, kReturned, kReturned), 0);
    EXPECT_TRUE(run.Finished());
    EXPECT_NE(worker.load(), 0u);
    EXPECT_NE(worker.load(), self);
    ::DestroyWindow(window);
}

} // namespace
