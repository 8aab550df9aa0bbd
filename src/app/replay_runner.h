#pragma once

#include <QObject>

#include <cstddef>
#include <vector>

#include "app/replay_script.h"

class CMainFrame;
class EventLog;
class ScriptedDialogs;

// Plays a replay against the running player, one command after the other from the event loop.
// When the commands are done the window closes as by its close box.
class ReplayRunner : public QObject {
    Q_OBJECT
public:
    ReplayRunner(const std::vector<ReplayCommand>& commands, CMainFrame& frame, ScriptedDialogs& dialogs, EventLog& log)
        : commands(commands), frame(frame), dialogs(dialogs), log(log) {}
    void Start();

private:
    void Next();
    void Execute(const ReplayCommand& command);

    const std::vector<ReplayCommand>& commands;
    CMainFrame& frame;
    ScriptedDialogs& dialogs;
    EventLog& log;
    std::size_t position = 0;
};
