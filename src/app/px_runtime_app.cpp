#include "app/px_runtime_app.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "actions/action_tables.h"
#include "app/chosen_project.h"
#include "app/event_log.h"
#include "app/flash_setup.h"
#include "app/main_frame.h"
#include "app/player_dialogs.h"
#include "app/player_frame_services.h"
#include "app/project_settings.h"
#include "app/replay_runner.h"
#include "app/run_deadline.h"
#include "app/runtime_folder.h"
#include "app/script_watch.h"
#include "engine/px_runtime_doc.h"
#include "media/sound_system.h"
#include "platform/host_path.h"
#include "platform/kx_registry.h"
#include "platform/qt/qt_font_registration.h"
#include "platform/windows_paths.h"
#include "project/archive_error.h"
#include "view/px_runtime_view.h"

namespace {

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

// The folder the user started the player in: the run makes the project's folder current, and the
// replay's relative paths belong to the user.
std::string StartFolder() {
    std::error_code noFolder;
    return std::filesystem::current_path(noFolder).string();
}

// The replay file's commands; false (with the message on standard error) when it cannot be read
// or has a bad line. No file: no commands.
bool ReadReplayFile(const std::string& path, std::vector<ReplayCommand>& replay) {
    if (path.empty()) return true;
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    if (in && ParseReplay(text, replay, error)) return true;
    std::fprintf(stderr, "vantorix: %s: %s\n", path.c_str(), in ? error.c_str() : "cannot read the file");
    return false;
}

// The screen the page is laid out against and its working area: the configured one headless.
QSize ScreenOf(const PlayerOptions& options, QRect& workArea) {
    workArea = QRect(QPoint(0, 0), options.screen);
    if (options.headless || !QGuiApplication::primaryScreen()) return options.screen;
    workArea = QGuiApplication::primaryScreen()->availableGeometry();
    return QGuiApplication::primaryScreen()->size();
}

// The window settings of the chosen project; the message to show when they cannot be read.
std::string ReadWindowSettings(const ChosenProject& chosen, RuntimeAppSettings& settings) {
    try {
        std::string message;
        LoadProjectSettings(chosen.dataFile, chosen.password, *chosen.codePage, settings, message);
        return message;
    } catch (const CKXArchiveError& damaged) {
        return std::string("The project file is damaged: ") + damaged.what() + ".";
    }
}

// The sound engine with its output; when no output opens the run goes on silent and the log says
// why. Nothing, with error set, when the --audio-out file cannot be made.
std::unique_ptr<CKXSoundSystem> StartSound(const PlayerOptions& options, QApplication& application, EventLog& log,
                                           std::string& error) {
    // The random playlist order is seeded once per run.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    auto postToGui = [&application](std::function<void()> work) {
        QMetaObject::invokeMethod(&application, std::move(work), Qt::QueuedConnection);
    };
    std::string silentBecause;
    auto sound = CKXSoundSystem::Start({options.headless, options.audioOut, options.audioDriver}, postToGui, error,
                                       silentBecause);
    if (!sound && error.empty()) log.SoundOff(silentBecause);
    return sound;
}

// What the window's part of a run works with, made by the start-up before it.
struct WindowRun {
    const PlayerOptions& options;
    QApplication& application;
    CPXRuntimeDoc& document;
    PlayerFrameServices& frameServices;
    PlayerDialogs& dialogs;
    EventLog& log;
    RunDeadline& deadline;
    // The owner of the box of a script that does not respond, once there is a window.
    QWidget*& boxOwner;
};

// The replay of a run: its commands, the folder its paths are taken from, and how many answers
// at its top the start-up took.
struct ReplayStart {
    const std::vector<ReplayCommand>& commands;
    const std::string& baseFolder;
    std::size_t startupAnswers;
};

// The main frame shown, the first page, the replay and the event loop, then the end of the run;
// the exit status.
int PlayInWindow(const WindowRun& run, const RuntimeAppSettings& settings, const std::string& executable, QSize screen,
                 QRect workArea, const ReplayStart& replay) {
    auto frame =
        std::make_unique<CMainFrame>(settings, run.document, screen, workArea, run.options.arguments, executable);
    run.frameServices.frame = frame.get();
    auto objectPluginHook = std::make_unique<ObjectPluginHook>(run.document.ObjectPlugins());
    run.dialogs.SetOwner(frame.get());
    frame->View().alwaysActive = run.options.headless;
    run.boxOwner = frame.get();
    if (!run.dialogs.Scripted()) frame->askToStopScript = [&frame] { return AskToStopScript(frame.get()); };
    frame->show();
    frame->ApplyWindowShape();
    // A replay starts when the intro shows, so that it can skip it, or else after the first update.
    ReplayRunner runner(replay.commands, *frame, run.dialogs.Answered(), run.log, replay.baseFolder,
                        replay.startupAnswers);
    bool replaying = false;
    auto startReplay = [&] {
        if (replaying || (replay.commands.empty() && run.options.replayFile.empty())) return;
        replaying = true;
        runner.Start();
    };
    frame->View().beforeIntro = startReplay;
    frame->View().OnInitialUpdate();
    startReplay();
    int code = frame->Closed() || run.deadline.TimedOut() ? 0 : run.application.exec();
    if (run.deadline.TimedOut()) code = 3;
    // A run that ended without its close (a timeout) still takes its fonts away.
    run.document.RemoveFonts();
    run.deadline.Finish(code);
    frame.reset();
    objectPluginHook.reset();
    run.frameServices.frame = nullptr;
    return code;
}

}  // namespace

std::string OwnTransitionsFolder(const std::string& playerPath) {
    // In the build tree the effects are built beside the programs' folder; installed, they are
    // where the install put them relative to the program.
    return FirstExistingBesideProgram(playerPath, {"../plugins/transitions", VX_TRANSITIONS_FROM_BIN});
}

int RunPlayer(const PlayerOptions& options, int argc, char** argv) {
    std::string startFolder = StartFolder();
    EnsurePrivateRuntimeFolder();
    if (options.headless) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The web engine of Flash movies, should a page have one, shares the application's contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    ChosenProject chosen = OpenChosenProject(options);
    const CodePage& codePage = *chosen.codePage;
    for (const auto& [letter, folder] : options.drives)
        WindowsPathLayer::Instance().MapDrive(letter, std::filesystem::absolute(folder).string());

    EventLog log;
    log.SetCodePage(codePage);
    if (std::string error; !options.logFile.empty() && !log.Open(options.logFile, error)) {
        std::fprintf(stderr, "vantorix: %s\n", error.c_str());
        return 2;
    }
    log.Start();
    RunDeadline deadline(application, log, options.timeoutMilliseconds);
    PlayerDialogs dialogs(options, log, codePage);
    // A run that cannot start shows why and ends.
    auto cannotStart = [&](const std::string& message) {
        if (!message.empty()) dialogs.Active().MessageBox(message, "", 0);
        dialogs.TellWhyItCouldNotStart();
        return deadline.Finish(1);
    };
    std::vector<ReplayCommand> replay;
    if (!ReadReplayFile(options.replayFile, replay)) return deadline.Finish(2);
    QRect workArea;
    QSize screen = ScreenOf(options, workArea);
    if (!chosen.error.empty()) return cannotStart(chosen.error);
    RuntimeAppSettings settings;
    if (std::string message = ReadWindowSettings(chosen, settings); !message.empty()) return cannotStart(message);

    PlayerFrameServices frameServices(codePage, log, screen);
    CKXRegistry registry(CKXRegistry::DefaultPath());
    SetUpFlashPlayer(options.playerPath, registry);
    std::string soundError;
    auto sound = StartSound(options, application, log, soundError);
    if (!soundError.empty()) {
        std::fprintf(stderr, "vantorix: %s\n", soundError.c_str());
        return deadline.Finish(2);
    }
    auto document = std::make_unique<CPXRuntimeDoc>(dialogs.Active(), frameServices, codePage, ActionTables(),
                                                    sound ? &sound->Engine() : nullptr);
    document->SetObserver(&log);
    document->SetSoundAvailable(sound != nullptr);
    // Headless runs keep the sound of videos off; the WAV of --audio-out holds the sound manager's
    // channels only.
    document->videoSound = !options.headless;
    frameServices.engine = &document->ScriptEngine();
    deadline.Watch(&document->ScriptEngine());
    // The box of a script that does not respond belongs to the window, once there is one.
    QWidget* boxOwner = nullptr;
    if (!dialogs.Scripted()) WatchScriptsAtTheScreen(document->ScriptEngine(), [&boxOwner] { return boxOwner; });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::size_t startupAnswers = ReplayRunner::QueueLeadingAnswers(replay, dialogs.Answered(), startFolder);
    document->ownTransitionsFolder = OwnTransitionsFolder(options.playerPath);
    CKXQtFontRegistration fontRegistration;
    document->SetFontRegistration(&fontRegistration);
    bool opened = document->OnNewDocument(chosen.executable, chosen.dataFile, chosen.password, &registry);
    QApplication::restoreOverrideCursor();
    // A project that cannot be read ends the run before any window shows (its message was shown).
    if (!opened) return cannotStart("");

    int code = PlayInWindow({options, application, *document, frameServices, dialogs, log, deadline, boxOwner},
                            settings, chosen.executable, screen, workArea, {replay, startFolder, startupAnswers});
    // The document goes before the fonts, the sound and the registry it used.
    document.reset();
    return code;
}
