#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A deadline kept by a thread of its own, so that it holds even while the main thread is stuck
// (a script that never returns, a finalizer that loops). When the delay passes, atDeadline is
// called on that thread; if the watchdog still lives grace later, lastWords is called and the
// process ends at once with exitCode. Destroying the watchdog cancels whatever has not happened.
class CKXWatchdog {
public:
    CKXWatchdog(std::chrono::milliseconds delay, std::function<void()> atDeadline, std::chrono::milliseconds grace,
                std::function<void()> lastWords, int exitCode);
    ~CKXWatchdog();
    CKXWatchdog(const CKXWatchdog&) = delete;
    CKXWatchdog& operator=(const CKXWatchdog&) = delete;

private:
    // Waits until the time or the cancel; true when the time came.
    bool WaitUntil(std::chrono::steady_clock::time_point when);

    std::mutex mutex;
    std::condition_variable wake;
    bool cancelled = false;
    std::thread thread;
};
