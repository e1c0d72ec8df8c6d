#include "ui/RunLoops.h"
#include "ui/WorkerRun.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

constexpr UINT kPing = WM_APP + 1;
int pings = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) {
        ++pings;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window that counts the pings dispatched to it.
class PingWindow {
  public:
    PingWindow() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RunLoopsTestPing";
        ::RegisterClassW(&wc);
        window_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    wc.hInstance, nullptr);
        pings = 0;
    }
    ~PingWindow() { ::DestroyWindow(window_); }
    HWND get() const { return window_; }

  private:
    HWND window_ = nullptr;
};

// User plus kernel time of the calling thread, in milliseconds.
ULONGLONG ThreadCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000;
}

TEST(WaitPumping, DispatchesMessagesAsTheyArriveUntilTheTimeHasPassed) {
    PingWindow target;
    ASSERT_NE(target.get(), nullptr);
    ::PostMessageW(target.get(), kPing, 0, 0);
    // More pings arrive while waiting.
    std::thread sender([window = target.get()] {
        for (int i = 0; i < 3; ++i) {
            ::Sleep(60);
            ::PostMessageW(window, kPing, 0, 0);
        }
    });
    const ULONGLONG start = ::GetTickCount64();
    WaitPumping(400);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    sender.join();
    EXPECT_EQ(pings, 4);
    EXPECT_GE(elapsed, 400u);
}

TEST(WaitPumping, SleepsInsteadOfSpinning) {
    const ULONGLONG cpuBefore = ThreadCpuMilliseconds();
    WaitPumping(600);
    const ULONGLONG cpu = ThreadCpuMilliseconds() - cpuBefore;
    // A loop that spins on the clock would use about the whole 600 ms.
    EXPECT_LT(cpu, 200u) << "the waiting thread kept a processor busy";
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
    WaitPumpingUntilFinished(run);
    EXPECT_TRUE(run.Finished());
}

TEST(WorkerRun, WaitingForTheWorkerKeepsDispatchingMessages) {
    PingWindow target;
    const HWND window = target.get();
    const WorkerRun run = WorkerRun::Start([window] {
        for (int i = 0; i < 3; ++i) {
            ::PostMessageW(window, kPing, 0, 0);
            ::Sleep(40);
        }
    });
    WaitPumpingUntilFinished(run);
    EXPECT_EQ(pings, 3);
}

TEST(WorkerRun, WorkThatThrowsStillCountsAsReturned) {
    const WorkerRun run = WorkerRun::Start([] { throw std::runtime_error("failed"); });
    WaitPumpingUntilFinished(run);
    EXPECT_TRUE(run.Finished());
}

TEST(WorkerRun, RunsOnAThreadOfItsOwn) {
    const DWORD self = ::GetCurrentThreadId();
    std::atomic<DWORD> worker{0};
    const WorkerRun run = WorkerRun::Start([&worker] { worker = ::GetCurrentThreadId(); });
    WaitPumpingUntilFinished(run);
    EXPECT_NE(worker.load(), 0u);
    EXPECT_NE(worker.load(), self);
}

} // namespace

namespace {

TEST(AnimateProgressBar, ClimbsOnePointPerPassUntilFull) {
    // The run reports 100 at once; the bar still takes a hundred passes.
    const WorkerRun run = WorkerRun::Start([] {});
    int reads = 0;
    const int bar = AnimateProgressBar(
        run,
        [&reads] {
            ++reads;
            return 100;
        },
        [] { return false; });
    EXPECT_EQ(bar, 100);
    EXPECT_EQ(reads, 100);
}

TEST(AnimateProgressBar, EndsWhenTheWorkerReturnedWithoutReachingTheEnd) {
    const WorkerRun run = WorkerRun::Start([] {});
    WaitPumpingUntilFinished(run);
    int reads = 0;
    const int bar = AnimateProgressBar(
        run,
        [&reads] {
            ++reads;
            return 3;
        },
        [] { return false; });
    // It catches up with the last value, then stops instead of waiting for 100.
    EXPECT_EQ(bar, 3);
    EXPECT_EQ(reads, 3);
}

TEST(AnimateProgressBar, FollowsTheRunAndStopsOnRequest) {
    std::atomic<int> progress{0};
    std::atomic<bool> release{false};
    const WorkerRun run = WorkerRun::Start([&] {
        progress = 2;
        while (!release.load())
            ::Sleep(5);
    });
    int passes = 0;
    const int bar = AnimateProgressBar(
        run, [&progress] { return progress.load(); }, [&passes] { return ++passes > 10; });
    // Two points reached, then held there while the run stayed at 2.
    EXPECT_EQ(bar, 2);
    EXPECT_FALSE(run.Finished());
    release = true;
    WaitPumpingUntilFinished(run);
}

} // namespace
