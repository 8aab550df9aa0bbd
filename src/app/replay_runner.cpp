#include "app/replay_runner.h"

#include <filesystem>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include "app/event_log.h"
#include "app/main_frame.h"
#include "platform/dialogs.h"
#include "view/px_runtime_view.h"

void ReplayRunner::Start() {
    QTimer::singleShot(0, this, [this] { Next(); });
}

void ReplayRunner::Next() {
    if (frame.Closed()) return;
    if (position >= commands.size()) {
        frame.close();
        return;
    }
    const ReplayCommand& command = commands[position++];
    if (command.kind == ReplayCommand::Kind::Wait) {
        QTimer::singleShot(command.milliseconds, this, [this] { Next(); });
        return;
    }
    Execute(command);
    QTimer::singleShot(0, this, [this] { Next(); });
}

void ReplayRunner::Execute(const ReplayCommand& command) {
    using Kind = ReplayCommand::Kind;
    CPXRuntimeView& view = frame.View();
    QPointF point(command.x, command.y);
    QPointF global = view.mapToGlobal(point);
    Qt::MouseButton button = command.right ? Qt::RightButton : Qt::LeftButton;
    // To the window under the point, as a user's pointer would go: an object's own window (a
    // video's player) passes it on to the page itself.
    // While the intro shows, the commands go to its window instead of the view.
    QWidget* surface = view.IntroWindow() ? view.IntroWindow() : &view;
    auto mouse = [&](QEvent::Type type, Qt::MouseButton which, Qt::MouseButtons held) {
        QWidget* target = surface->childAt(point.toPoint());
        if (!target) target = surface;
        QMouseEvent event(type, QPointF(target->mapFrom(surface, point.toPoint())), global, which, held,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    switch (command.kind) {
        case Kind::Move:
            mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
            break;
        case Kind::Down:
            mouse(QEvent::MouseButtonPress, button, button);
            break;
        case Kind::Up:
            mouse(QEvent::MouseButtonRelease, button, Qt::NoButton);
            break;
        case Kind::Click:
            mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
            mouse(QEvent::MouseButtonPress, button, button);
            mouse(QEvent::MouseButtonRelease, button, Qt::NoButton);
            break;
        case Kind::DoubleClick:
            mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
            mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
            mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
            mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
            break;
        case Kind::Wheel: {
            QWheelEvent event(point, global, QPoint(), QPoint(0, command.delta), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(&view, &event);
            break;
        }
        case Kind::Key:
            if (surface != &view) {
                // The intro takes any key; which one does not matter to it.
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier);
                QApplication::sendEvent(surface, &press);
                break;
            }
            frame.HandleKey(command.virtualKey, command.ctrl, command.alt, command.shift);
            break;
        case Kind::Answer:
        case Kind::AnswerText:
        case Kind::AnswerCancel:
        case Kind::AnswerFiles:
            dialogs.answers.push_back(DialogAnswerOf(command, baseFolder));
            break;
        case Kind::Shot:
            surface->grab().save(QString::fromStdString(FromBase(command.text)), "PNG");
            log.Shot(command.text);
            break;
        case Kind::Close:
            frame.close();
            break;
        case Kind::Wait:
            break;
    }
}

std::string ReplayRunner::FromBase(const std::string& path) const {
    return PathFromBase(path, baseFolder);
}

std::string ReplayRunner::PathFromBase(const std::string& path, const std::string& baseFolder) {
    if (path.empty() || path.front() == '/' || baseFolder.empty()) return path;
    return (std::filesystem::path(baseFolder) / path).string();
}

bool ReplayRunner::IsAnswer(const ReplayCommand& command) {
    using Kind = ReplayCommand::Kind;
    return command.kind == Kind::Answer || command.kind == Kind::AnswerText || command.kind == Kind::AnswerCancel ||
           command.kind == Kind::AnswerFiles;
}

ScriptedDialogs::Answer ReplayRunner::DialogAnswerOf(const ReplayCommand& command, const std::string& baseFolder) {
    using Kind = ReplayCommand::Kind;
    switch (command.kind) {
        case Kind::Answer:
            return {false, command.answerId, {}, {}};
        case Kind::AnswerText:
            return {false, 0, command.text, {}};
        case Kind::AnswerFiles: {
            std::vector<std::string> files;
            for (const std::string& file : command.files) files.push_back(PathFromBase(file, baseFolder));
            return {false, 0, {}, files};
        }
        default:
            return {true, 0, {}, {}};
    }
}

std::size_t ReplayRunner::QueueLeadingAnswers(const std::vector<ReplayCommand>& commands, ScriptedDialogs& dialogs,
                                              const std::string& baseFolder) {
    std::size_t count = 0;
    while (count < commands.size() && IsAnswer(commands[count])) {
        dialogs.answers.push_back(DialogAnswerOf(commands[count++], baseFolder));
    }
    return count;
}
