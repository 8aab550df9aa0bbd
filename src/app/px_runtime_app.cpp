#include "app/px_runtime_app.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>

#include "actions/action_tables.h"
#include "app/data_file_search.h"
#include "app/debug_wnd_dlg.h"
#include "app/event_log.h"
#include "app/flash_setup.h"
#include "app/main_frame.h"
#include "app/project_folder.h"
#include "app/project_settings.h"
#include "app/replay_runner.h"
#include "app/runtime_folder.h"
#include "app/script_watch.h"
#include "engine/px_runtime_doc.h"
#include "media/sound_system.h"
#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "platform/host_path.h"
#include "platform/kx_registry.h"
#include "platform/qt/message_pump.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_font_registration.h"
#include "platform/watchdog.h"
#include "platform/windows_paths.h"
#include "project/archive_error.h"
#include "project/archive_password.h"
#include "view/px_runtime_view.h"

namespace {

// How long a run that --timeout ended may take to wind down, and how long the exit may take.
constexpr std::chrono::seconds timeoutGrace{5};
constexpr std::chrono::seconds shutdownGrace{3};

// What the frame and view do for scripts, once they exist.
class PlayerFrameServices : public CKXFrameServices {
public:
    PlayerFrameServices(const CodePage& codePage, EventLog& log, QSize screen) : codePage(codePage), log(log) {
        screenWidth = screen.width();
        screenHeight = screen.height();
    }
    void PostCloseRequest() override {
        if (frame) QMetaObject::invokeMethod(frame, "close", Qt::QueuedConnection);
    }
    void Minimize() override {
        if (frame) frame->MinimizeWindow();
    }
    void Restore() override {
        if (frame) frame->RestoreWindow();
    }
    void PumpMessagesFiltered(int milliseconds) override {
        ::PumpMessagesFiltered(milliseconds, [this] { return engine && engine->StopRequested(); });
    }
    void RepaintNow() override {
        if (frame) frame->View().repaint();
    }
    void DebugWindowAppend(const std::string& text) override {
        log.Debug(codePage.ToUtf8(text));
        if (frame) frame->DebugWindow().Append(QString::fromStdString(codePage.ToUtf8(text)));
    }
    void DebugWindowClear() override {
        if (frame) frame->DebugWindow().Clear();
    }
    void ShowDebugWindow(bool show) override {
        if (frame) frame->DebugWindow().setVisible(show);
    }

    CMainFrame* frame = nullptr;
    CLUAEngine* engine = nullptr;  // a stopped script's wait ends early

private:
    const CodePage& codePage;
    EventLog& log;
};

// Offers every event the application handles to the object plugins first; they never take one.
class ObjectPluginHook : public QObject {
public:
    explicit ObjectPluginHook(CKXDLLPluginManager& plugins) : plugins(plugins) { qApp->installEventFilter(this); }
    ~ObjectPluginHook() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        plugins.PreTranslateMessage(event);
        return false;
    }

private:
    CKXDLLPluginManager& plugins;
};

// Dialogs shown for real, and logged.
class LoggedDialogs : public CKXDialogs {
public:
    LoggedDialogs(CKXDialogs& inner, EventLog& log, const CodePage& codePage)
        : inner(inner), log(log), codePage(codePage) {}
    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override {
        int answer = inner.MessageBox(text, caption, style);
        log.Dialog("message", codePage.ToUtf8(caption), codePage.ToUtf8(text), style, answer);
        return answer;
    }
    bool InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText, bool password,
                  std::string& answer, int icon) override {
        bool ok = inner.InputBox(prompt, title, defaultText, password, answer, icon);
        log.Dialog(password ? "password" : "input", codePage.ToUtf8(title), codePage.ToUtf8(prompt), 0,
                   ok ? nlohmann::ordered_json(codePage.ToUtf8(answer)) : nlohmann::ordered_json(nullptr));
        return ok;
    }
    bool FileBrowse(bool save, const std::string& title, const std::string& folder, const std::string& filter,
                    const std::string& defaultName, bool multiple, std::vector<std::string>& files) override {
        bool ok = inner.FileBrowse(save, title, folder, filter, defaultName, multiple, files);
        std::string chosen;
        for (const std::string& file : files) chosen += (chosen.empty() ? "" : "|") + codePage.ToUtf8(file);
        log.Dialog(save ? "save" : "open", codePage.ToUtf8(title), codePage.ToUtf8(filter), 0,
                   ok ? nlohmann::ordered_json(chosen) : nlohmann::ordered_json(nullptr));
        return ok;
    }

private:
    CKXDialogs& inner;
    EventLog& log;
    const CodePage& codePage;
};

}  // namespace

std::string OwnTransitionsFolder(const std::string& playerPath) {
    // In the build tree the effects are built beside the programs' folder; installed, they are
    // where the install put them relative to the program.
    return FirstExistingBesideProgram(playerPath, {"../plugins/transitions", VX_TRANSITIONS_FROM_BIN});
}

int RunPlayer(const PlayerOptions& options, int argc, char** argv) {
    // The folder the user started the player in: the run makes the project's folder current, and
    // the replay's relative paths belong to the user.
    std::error_code noFolder;
    std::string startFolder = std::filesystem::current_path(noFolder).string();
    EnsurePrivateRuntimeFolder();
    if (options.headless) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The web engine of Flash movies, should a page have one, shares the application's contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    std::string error;
    auto codePage = CodePage::Open(options.codePage, &error);
    if (!codePage) codePage = CodePage::Open("windows-1252", nullptr);
    for (const auto& [letter, folder] : options.drives)
        WindowsPathLayer::Instance().MapDrive(letter, std::filesystem::absolute(folder).string());

    EventLog log;
    if (!options.logFile.empty() && !log.Open(options.logFile, error)) {
        std::fprintf(stderr, "vantorix: %s\n", error.c_str());
        return 2;
    }
    log.Start();
    // --timeout ends every run on time, from a thread of its own: at the deadline the running
    // script and every later one are stopped and the event loop is asked to end; a run still
    // alive some seconds later (stuck outside any script) ends there and then.
    std::atomic<CLUAEngine*> watchedEngine{nullptr};
    std::atomic<bool> timedOut{false};
    std::unique_ptr<CKXWatchdog> timeoutWatch;
    if (options.timeoutMilliseconds > 0) {
        timeoutWatch = std::make_unique<CKXWatchdog>(
            std::chrono::milliseconds(options.timeoutMilliseconds),
            [&] {
                timedOut = true;
                if (CLUAEngine* engine = watchedEngine.load()) engine->StopAllScripts();
                QMetaObject::invokeMethod(
                    &application, [&application] { application.exit(3); }, Qt::QueuedConnection);
            },
            timeoutGrace, [&log] { log.Exit(3); }, 3);
    }
    // The exit is logged first; then everything is taken down, finalizers of scripts included,
    // and one that never returns cannot keep the process alive.
    std::optional<CKXWatchdog> shutdownWatch;
    // A run that shows no window and keeps no log tells the person who started it on standard
    // error why it could not start, and each script error, as "vantorix: TITLE: TEXT".
    bool scripted = options.headless || !options.replayFile.empty();
    bool tellOnStandardError = scripted && options.logFile.empty();
    std::optional<DialogRecord> lastMessage;
    auto tell = [&](const DialogRecord& record) {
        std::string line = "vantorix: " + (record.title.empty() ? "" : codePage->ToUtf8(record.title) + ": ") +
                           codePage->ToUtf8(record.text);
        for (char& c : line) {
            if (c == '\r' || c == '\n') c = ' ';
        }
        std::fprintf(stderr, "%s\n", line.c_str());
    };
    auto finish = [&](int code) {
        if (code == 1 && tellOnStandardError && lastMessage) tell(*lastMessage);
        timeoutWatch.reset();
        watchedEngine = nullptr;
        log.Exit(code);
        shutdownWatch.emplace(shutdownGrace, nullptr, std::chrono::milliseconds(0), nullptr, code);
        return code;
    };

    ScriptedDialogs scriptedDialogs;
    scriptedDialogs.listener = [&](const DialogRecord& record) {
        if (tellOnStandardError && record.kind == "message") {
            lastMessage = record;
            // A script's error box; the one that ends the run is told by finish.
            if (record.title == "Error") {
                tell(record);
                lastMessage.reset();
            }
        }
        nlohmann::ordered_json answer = nullptr;
        if (!record.cancelled) {
            answer = record.kind == "message" ? nlohmann::ordered_json(std::stoi(record.answer))
                                              : nlohmann::ordered_json(codePage->ToUtf8(record.answer));
        }
        log.Dialog(record.kind, codePage->ToUtf8(record.title), codePage->ToUtf8(record.text), record.style, answer);
    };
    QtDialogs qtDialogs(*codePage);
    LoggedDialogs loggedDialogs(qtDialogs, log, *codePage);
    CKXDialogs& dialogs = scripted ? static_cast<CKXDialogs&>(scriptedDialogs) : loggedDialogs;

    std::vector<ReplayCommand> replay;
    if (!options.replayFile.empty()) {
        std::ifstream in(options.replayFile, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in || !ParseReplay(text, replay, error)) {
            std::fprintf(stderr, "vantorix: %s: %s\n", options.replayFile.c_str(),
                         in ? error.c_str() : "cannot read the file");
            return finish(2);
        }
    }

    QSize screen = options.screen;
    QRect workArea(QPoint(0, 0), screen);
    if (!options.headless && QGuiApplication::primaryScreen()) {
        screen = QGuiApplication::primaryScreen()->size();
        workArea = QGuiApplication::primaryScreen()->availableGeometry();
    }

    // Start-up: the data file, the window settings, the document, the frame and the first page.
    ProjectChoice chosen =
        options.project.empty() ? ProjectChoice{options.playerPath, ""} : ChooseProjectExecutable(options.project);
    if (!chosen.error.empty()) {
        dialogs.MessageBox(chosen.error, "", 0);
        return finish(1);
    }
    DataFileLocation location = FindDataFile(chosen.executable);
    std::string password = options.password.empty() ? archivePassword : options.password;
    if (location.dataFilePath.empty()) {
        dialogs.MessageBox(dataFileNotFoundMessage, "", 0);
        return finish(1);
    }
    RuntimeAppSettings settings;
    try {
        std::string message;
        if (!LoadProjectSettings(location.dataFilePath, password, *codePage, settings, message)) {
            dialogs.MessageBox(message, "", 0);
            return finish(1);
        }
    } catch (const CKXArchiveError& damaged) {
        dialogs.MessageBox(std::string("The project file is damaged: ") + damaged.what() + ".", "", 0);
        return finish(1);
    }

    PlayerFrameServices frameServices(*codePage, log, screen);
    CKXRegistry registry(CKXRegistry::DefaultPath());
    SetUpFlashPlayer(options.playerPath, registry);
    // The sound engine; when no output opens the run goes on silent. The random playlist order
    // is seeded once per run.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::string soundError, silentBecause;
    auto postToGui = [&application](std::function<void()> work) {
        QMetaObject::invokeMethod(&application, std::move(work), Qt::QueuedConnection);
    };
    auto sound = CKXSoundSystem::Start({options.headless, options.audioOut, options.audioDriver}, postToGui, soundError,
                                       silentBecause);
    if (!soundError.empty()) {
        std::fprintf(stderr, "vantorix: %s\n", soundError.c_str());
        return finish(2);
    }
    auto document = std::make_unique<CPXRuntimeDoc>(dialogs, frameServices, *codePage, ActionTables(),
                                                    sound ? &sound->Engine() : nullptr);
    document->SetSoundAvailable(sound != nullptr);
    if (!sound) log.Write({{"ev", "audio"}, {"action", "off"}, {"reason", silentBecause}});
    document->Audio().onEvent = [&](const char* action, int channel, const std::string& file, int result) {
        nlohmann::ordered_json event = {{"ev", "audio"}, {"action", action}, {"channel", channel}};
        if (!file.empty()) event["file"] = codePage->ToUtf8(file);
        event["result"] = result;
        log.Write(event);
    };
    // Headless runs keep the sound of videos off; the WAV of --audio-out holds the sound manager's
    // channels only.
    document->videoSound = !options.headless;
    document->onVideoEvent = [&](const VideoLogEntry& entry) {
        nlohmann::ordered_json event = {{"ev", "video"}, {"action", entry.action}};
        if (!entry.file.empty()) event["file"] = entry.file;
        if (entry.width >= 0) event["width"] = entry.width;
        if (entry.height >= 0) event["height"] = entry.height;
        if (entry.length >= 0) event["length"] = entry.length;
        if (entry.position >= 0) event["position"] = entry.position;
        if (!entry.error.empty()) event["error"] = entry.error;
        log.Write(event);
    };
    document->onFlashEvent = [&](const FlashLogEntry& entry) {
        nlohmann::ordered_json event = {{"ev", "flash"}, {"action", entry.action}, {"file", entry.file}};
        if (entry.action == "ready") {
            event["state"] = std::atoi(entry.detail.c_str());
        } else if (!entry.detail.empty()) {
            event["detail"] = entry.detail;
        }
        log.Write(event);
    };
    document->onScriptRun = [&](const std::string& context, int status) {
        log.Script(codePage->ToUtf8(context), status);
    };
    document->onPageEntered = [&](int index) { log.Page(index, codePage->ToUtf8(document->PageName(index))); };
    frameServices.engine = &document->ScriptEngine();
    watchedEngine = &document->ScriptEngine();
    if (timedOut) document->ScriptEngine().StopAllScripts();
    // The box of a script that does not respond belongs to the window, once there is one.
    QWidget* boxOwner = nullptr;
    if (!scripted) WatchScriptsAtTheScreen(document->ScriptEngine(), [&boxOwner] { return boxOwner; });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::size_t startupAnswers = ReplayRunner::QueueLeadingAnswers(replay, scriptedDialogs, startFolder);
    document->ownTransitionsFolder = OwnTransitionsFolder(options.playerPath);
    CKXQtFontRegistration fontRegistration;
    document->SetFontRegistration(&fontRegistration);
    document->Fonts().onFont = [&](const CKXTTFManager::FontEvent& event) {
        nlohmann::ordered_json entry = {{"ev", "font"}, {"face", event.face}, {"action", event.action}};
        if (!event.detail.empty()) entry[event.action == "installed" ? "file" : "reason"] = event.detail;
        log.Write(entry);
    };
    bool opened = document->OnNewDocument(chosen.executable, location.dataFilePath, password, &registry);
    // A disc's transitions may be Windows libraries: the log says why each one does not play.
    for (const CKXTransitionDLLManager::Skipped& skipped : document->Transitions().SkippedFiles()) {
        log.Write({{"ev", "plugin"}, {"file", skipped.path}, {"reason", skipped.reason}});
    }
    QApplication::restoreOverrideCursor();
    // A project that cannot be read ends the run before any window shows.
    if (!opened) return finish(1);

    auto frame =
        std::make_unique<CMainFrame>(settings, *document, screen, workArea, options.arguments, chosen.executable);
    frameServices.frame = frame.get();
    auto objectPluginHook = std::make_unique<ObjectPluginHook>(document->ObjectPlugins());
    qtDialogs.SetOwner(frame.get());
    frame->View().alwaysActive = options.headless;
    boxOwner = frame.get();
    if (!scripted) frame->askToStopScript = [&frame] { return AskToStopScript(frame.get()); };
    frame->show();
    frame->ApplyWindowShape();
    // A replay starts when the intro shows, so that it can skip it, or else after the first update.
    ReplayRunner runner(replay, *frame, scriptedDialogs, log, startFolder, startupAnswers);
    bool replaying = false;
    auto startReplay = [&] {
        if (replaying || (replay.empty() && options.replayFile.empty())) return;
        replaying = true;
        runner.Start();
    };
    frame->View().beforeIntro = startReplay;
    frame->View().onTransition = [&](const CKXTransitionDLLInfo& plugin, const TransitionOutcome& outcome) {
        nlohmann::ordered_json event = {
            {"ev", "transition"}, {"file", plugin.path}, {"name", codePage->ToUtf8(plugin.name)}};
        if (outcome.played) {
            event["frames"] = outcome.frames;
            event["ms"] = static_cast<long long>(outcome.milliseconds + 0.5);
        } else {
            event["error"] = outcome.error;
        }
        log.Write(event);
    };
    frame->View().onIntroEvent = [&](const IntroLogEntry& entry) {
        auto box = [](const QRect& r) {
            return nlohmann::ordered_json::array({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
        };
        nlohmann::ordered_json event = {{"ev", "intro"}, {"action", entry.action}};
        if (entry.action == "start") {
            event["kind"] = entry.kind;
            event["file"] = entry.file;
            event["window"] = box(entry.window);
            event["media"] = box(entry.media);
        } else {
            event["reason"] = entry.reason;
        }
        log.Write(event);
    };
    frame->View().OnInitialUpdate();
    startReplay();
    int code = frame->Closed() || timedOut ? 0 : application.exec();
    if (timedOut) code = 3;
    // A run that ended without its close (a timeout) still takes its fonts away.
    document->RemoveFonts();
    finish(code);
    frame.reset();
    objectPluginHook.reset();
    document.reset();
    return code;
}
