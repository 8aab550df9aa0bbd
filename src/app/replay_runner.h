#pragma once

#include <QObject>

#include <cstddef>
#include <string>
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
    // Relative paths of the commands are taken from baseFolder, the folder the player was started
    // in (the run makes the project's folder current).
    ReplayRunner(const std::vector<ReplayCommand>& commands, CMainFrame& frame, ScriptedDialogs& dialogs, EventLog& log,
                 std::string baseFolder)
        : commands(commands), frame(frame), dialogs(dialogs), log(log), baseFolder(std::move(baseFolder)) {}
    void Start();

private:
    void Next();
    void Execute(const ReplayCommand& command);
    std::string FromBase(const std::string& path) const;

    const std::vector<ReplayCommand>& commands;
    CMainFrame& frame;
    ScriptedDialogs& dialogs;
    EventLog& log;
    std::string baseFolder;
    std::size_t position = 0;
};
