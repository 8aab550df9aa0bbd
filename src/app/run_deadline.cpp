#include "app/run_deadline.h"

#include <QCoreApplication>

#include <chrono>

#include "app/event_log.h"
#include "script/lua_engine.h"

namespace {

// How long a run that --timeout ended may take to wind down, and how long the exit may take.
constexpr std::chrono::seconds timeoutGrace{5};
constexpr std::chrono::seconds shutdownGrace{3};

}  // namespace

RunDeadline::RunDeadline(QCoreApplication& application, EventLog& log, int timeoutMilliseconds) : log(log) {
    if (timeoutMilliseconds <= 0) return;
    timeoutWatch = std::make_unique<CKXWatchdog>(
        std::chrono::milliseconds(timeoutMilliseconds),
        [this, &application] {
            timedOut = true;
            if (CLUAEngine* engine = watchedEngine.load()) engine->StopAllScripts();
            QMetaObject::invokeMethod(
                &application, [&application] { application.exit(3); }, Qt::QueuedConnection);
        },
        timeoutGrace, [&log] { log.Exit(3); }, 3);
}

void RunDeadline::Watch(CLUAEngine* engine) {
    watchedEngine = engine;
    if (engine && timedOut) engine->StopAllScripts();
}

int RunDeadline::Finish(int code) {
    timeoutWatch.reset();
    watchedEngine = nullptr;
    log.Exit(code);
    shutdownWatch.emplace(shutdownGrace, nullptr, std::chrono::milliseconds(0), nullptr, code);
    return code;
}
