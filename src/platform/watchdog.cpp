#include "platform/watchdog.h"

#include <unistd.h>

CKXWatchdog::CKXWatchdog(std::chrono::milliseconds delay, std::function<void()> atDeadline,
                         std::chrono::milliseconds grace, std::function<void()> lastWords, int exitCode) {
    auto deadline = std::chrono::steady_clock::now() + delay;
    thread = std::thread(
        [this, deadline, grace, atDeadline = std::move(atDeadline), lastWords = std::move(lastWords), exitCode] {
            if (!WaitUntil(deadline)) return;
            if (atDeadline) atDeadline();
            if (!WaitUntil(std::chrono::steady_clock::now() + grace)) return;
            if (lastWords) lastWords();
            _exit(exitCode);
        });
}

CKXWatchdog::~CKXWatchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        cancelled = true;
    }
    wake.notify_one();
    thread.join();
}

bool CKXWatchdog::WaitUntil(std::chrono::steady_clock::time_point when) {
    std::unique_lock<std::mutex> lock(mutex);
    return !wake.wait_until(lock, when, [this] { return cancelled; });
}
