// How a cancel reaches a transfer that waits on the server.
#include "net/DownloadAbort.h"

#include <gtest/gtest.h>

#include <chrono>

TEST(DownloadAbort, RunsTheInterruptionInPlaceOnceAndNeverAfterItsWatch) {
    int interrupted = 0;
    {
        DownloadAbort abort;
        {
            DownloadAbort::Watch ended(&abort, [&] { ++interrupted; });
        }
        DownloadAbort::Watch watch(&abort, [&] { ++interrupted; });
        EXPECT_FALSE(abort.Requested());
        abort.Request();
        abort.Request();
        EXPECT_TRUE(abort.Requested());
        EXPECT_EQ(interrupted, 1);
        // Made before the watch began: the watch interrupts at once.
        DownloadAbort::Watch late(&abort, [&] { interrupted += 10; });
        EXPECT_EQ(interrupted, 11);
        EXPECT_TRUE(abort.WaitFor(std::chrono::hours(1)));
    }
    DownloadAbort::Watch none(nullptr, [&] { ++interrupted; });
    EXPECT_EQ(interrupted, 11);
}
