#include "ui/WorkerRun.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

constexpr UINT kReturned = WM_APP + 7;

void WaitUntilReturned(const WorkerRun& run) {
    ASSERT_NE(run.FinishedEvent(), nullptr);
    ASSERT_EQ(::WaitForSingleObject(run.FinishedEvent(), 30000), WAIT_OBJECT_0);
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
    WaitUntilReturned(run);
    EXPECT_TRUE(run.Finished());
}

TEST(WorkerRun, WorkThatThrowsStillCountsAsReturned) {
    const WorkerRun run = WorkerRun::Start([] { throw std::runtime_error("failed"); });
    WaitUntilReturned(run);
    EXPECT_TRUE(run.Finished());
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
