#pragma once

#include <atomic>
#include <memory>
#include <optional>

#include "platform/watchdog.h"

class CLUAEngine;
class EventLog;
class QCoreApplication;

// --timeout ends every run on time, from a thread of its own: at the deadline the running script
// and every later one are stopped and the event loop is asked to end (status 3); a run still
// alive some seconds later (stuck outside any script) ends there and then. And every run's exit
// is bounded: once the exit is logged, script finalizers that never return cannot keep the
// process alive.
class RunDeadline {
public:
    // No deadline when timeoutMilliseconds is 0 or less.
    RunDeadline(QCoreApplication& application, EventLog& log, int timeoutMilliseconds);
    // The engine whose scripts stop at the deadline (none: no script runs yet).
    void Watch(CLUAEngine* engine);
    bool TimedOut() const { return timedOut; }
    // Logs the exit with code and bounds what is left of the run; returns code.
    int Finish(int code);

private:
    EventLog& log;
    std::atomic<CLUAEngine*> watchedEngine{nullptr};
    std::atomic<bool> timedOut{false};
    std::unique_ptr<CKXWatchdog> timeoutWatch;
    std::optional<CKXWatchdog> shutdownWatch;
};
