#include "platform/watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

TEST(Watchdog, CallsAtTheDeadlineAndIsCancelledByItsEnd) {
    std::atomic<int> called{0};
    {
        CKXWatchdog watchdog(
            20ms, [&called] { ++called; }, 10s, nullptr, 9);
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(called, 1);
    }  // destroyed in its grace: the process goes on
    {
        CKXWatchdog early(
            10s, [&called] { ++called; }, 10s, nullptr, 9);
    }
    EXPECT_EQ(called, 1);
}

TEST(WatchdogDeathTest, EndsAProcessStuckPastItsGrace) {
    EXPECT_EXIT(
        {
            CKXWatchdog watchdog(
                10ms, nullptr, 10ms, [] { std::fputs("last words", stderr); }, 7);
            for (;;) std::this_thread::sleep_for(1s);
        },
        ::testing::ExitedWithCode(7), "last words");
}
