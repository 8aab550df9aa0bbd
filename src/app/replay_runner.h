#pragma once

#include <QObject>

#include <cstddef>
#include <string>
#include <vector>

#include "app/replay_script.h"
#include "platform/dialogs.h"

class CMainFrame;
class EventLog;

// Plays a replay against the running player, one command after the other from the event loop.
// When the commands are done the window closes as by its close box.
class ReplayRunner : public QObject {
    Q_OBJECT
public:
    // Relative paths of the commands are taken from baseFolder, the folder the player was started
    // in (the run makes the project's folder current).
    // The first firstCommand commands were carried out before (QueueLeadingAnswers).
    ReplayRunner(const std::vector<ReplayCommand>& commands, CMainFrame& frame, ScriptedDialogs& dialogs, EventLog& log,
                 std::string baseFolder, std::size_t firstCommand = 0)
        : commands(commands),
          frame(frame),
          dialogs(dialogs),
          log(log),
          baseFolder(std::move(baseFolder)),
          position(firstCommand) {}
    void Start();

    // Queues the answers that open the replay, before anything else, so that the dialogs of the
    // start-up take them too; returns how many commands that used.
    static std::size_t QueueLeadingAnswers(const std::vector<ReplayCommand>& commands, ScriptedDialogs& dialogs,
                                           const std::string& baseFolder);

private:
    void Next();
    void Execute(const ReplayCommand& command);
    std::string FromBase(const std::string& path) const;
    static std::string PathFromBase(const std::string& path, const std::string& baseFolder);
    static bool IsAnswer(const ReplayCommand& command);
    static ScriptedDialogs::Answer DialogAnswerOf(const ReplayCommand& command, const std::string& baseFolder);

    const std::vector<ReplayCommand>& commands;
    CMainFrame& frame;
    ScriptedDialogs& dialogs;
    EventLog& log;
    std::string baseFolder;
    std::size_t position = 0;
};
