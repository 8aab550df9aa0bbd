#include "media/flash/ruffle/ruffle_flash_window.h"

#include <QUrl>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cmath>

#include "media/flash/ruffle/ruffle_web_profile.h"

namespace {

// Ruffle's names for the control's settings.
QString RuffleQuality(const std::string& quality) {
    return quality == "low" || quality == "autolow" ? "low" : "high";
}

QString RuffleScale(int mode) {
    switch (mode) {
        case 1:
            return "noBorder";
        case 2:
            return "exactFit";
        case 3:
            return "noScale";
        default:
            return "showAll";
    }
}

QString RuffleAlign(int bits) {
    QString align;
    if (bits & 4) align += "T";
    if (bits & 8) align += "B";
    if (bits & 1) align += "L";
    if (bits & 2) align += "R";
    return align;
}

class ReportingPage : public QWebEnginePage {
public:
    ReportingPage(QWebEngineProfile* profile, QObject* parent, std::function<void(const QString&)> onError)
        : QWebEnginePage(profile, parent), onError(std::move(onError)) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int,
                                  const QString&) override {
        if (level == ErrorMessageLevel && onError) onError(message);
    }
    // Links a movie opens go nowhere.
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        return !isMainFrame || url.scheme() == "vxflash";
    }

private:
    std::function<void(const QString&)> onError;
};

}  // namespace

void CRuffleBridge::pageReady() {
    window.pageIsReady = true;
    window.SendLoad();
}

void CRuffleBridge::readyState(int state, bool playing) {
    bool changed = state != window.ruffleState;
    window.ruffleState = state;
    window.SetPlaying(playing);
    if (changed) window.Log("ready", std::to_string(*window.GetReadyState()));
}

void CRuffleBridge::metadata(const QVariantMap& values) {
    window.frameCount = values.value("numFrames").toInt();
    window.frameRate = values.value("frameRate").toDouble();
}

void CRuffleBridge::fsCommand(const QString& command, const QString& arguments) {
    window.Log("fscommand", (command + " " + arguments).toStdString());
    if (window.setup.onFsCommand) window.setup.onFsCommand(command.toStdString(), arguments.toStdString());
}

void CRuffleBridge::failed(const QString& message) {
    window.Fail(message);
}

CRuffleFlashWindow::CRuffleFlashWindow(const FlashWindowSetup& setup, const QString& rufflePath)
    : QWidget(setup.parent), setup(setup), bridge(*this) {
    setObjectName("FlashWindow");
    setGeometry(setup.rect);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view = new QWebEngineView(this);
    page = new ReportingPage(CRuffleWebProfile::Instance(rufflePath).Profile(), view,
                             [this](const QString& message) { Log("error", message.toStdString()); });
    // The page under the movie shows until the movie draws.
    page->setBackgroundColor(Qt::transparent);
    channel = new QWebChannel(page);
    channel->registerObject("bridge", &bridge);
    page->setWebChannel(channel);
    QObject::connect(page, &QWebEnginePage::renderProcessTerminated, view,
                     [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                         if (status != QWebEnginePage::NormalTerminationStatus) Fail("the player's process ended");
                     });
    view->setPage(page);
    layout->addWidget(view);
    settings["play"] = true;
    setEnabled(setup.enabled);
    setVisible(setup.visible);
    page->load(QUrl("vxflash://player/page.html"));
}

CRuffleFlashWindow::~CRuffleFlashWindow() {
    if (!movieAddress.isEmpty()) CRuffleWebProfile::Instance({}).RemoveMovie(movieAddress);
}

void CRuffleFlashWindow::Fail(const QString& message) {
    failedForGood = true;
    Log("error", message.toStdString());
}

void CRuffleFlashWindow::Log(const char* action, const std::string& detail) {
    if (setup.log) setup.log({action, setup.movieFile, detail});
}

bool CRuffleFlashWindow::PutQuality2(const std::string& quality) {
    settings["quality"] = RuffleQuality(quality);
    return !failedForGood;
}

bool CRuffleFlashWindow::PutScaleMode(int mode) {
    settings["scale"] = RuffleScale(mode);
    return !failedForGood;
}

bool CRuffleFlashWindow::PutAlignMode(int bits) {
    settings["salign"] = RuffleAlign(bits);
    return !failedForGood;
}

bool CRuffleFlashWindow::PutBackgroundColor(int color) {
    settings["background"] = color < 0 ? QString() : QString("#%1").arg(color & 0xFFFFFF, 6, 16, QChar('0'));
    return !failedForGood;
}

bool CRuffleFlashWindow::PutMenu(bool show) {
    settings["menu"] = show;
    return !failedForGood;
}

bool CRuffleFlashWindow::PutDeviceFont(bool) {
    // Ruffle draws device text with its own fonts either way.
    return !failedForGood;
}

bool CRuffleFlashWindow::PutMovie(const std::string& hostPath) {
    CRuffleWebProfile& profile = CRuffleWebProfile::Instance({});
    if (!movieAddress.isEmpty()) profile.RemoveMovie(movieAddress);
    movieAddress = profile.AddMovie(QString::fromStdString(hostPath));
    settings["url"] = "vxflash://player" + movieAddress;
    ruffleState = -1;
    frameCount = 0;
    playedSeconds = 0;
    SendLoad();
    return !failedForGood;
}

bool CRuffleFlashWindow::PutLoop(bool) {
    // Ruffle plays a movie's timeline as the movie says; it has no setting to stop at the end.
    return !failedForGood;
}

void CRuffleFlashWindow::SendLoad() {
    if (!pageIsReady || movieAddress.isEmpty()) return;
    settings["play"] = wantPlaying;
    emit bridge.command("load", settings);
}

void CRuffleFlashWindow::SetPlaying(bool nowPlaying) {
    if (nowPlaying == playing) return;
    if (playing) playedSeconds += playClock.elapsed() / 1000.0;
    if (nowPlaying) playClock.start();
    playing = nowPlaying;
}

bool CRuffleFlashWindow::Play() {
    if (failedForGood) return false;
    wantPlaying = true;
    emit bridge.command("play", {});
    return true;
}

bool CRuffleFlashWindow::Stop() {
    if (failedForGood) return false;
    wantPlaying = false;
    emit bridge.command("stop", {});
    return true;
}

bool CRuffleFlashWindow::Rewind() {
    if (failedForGood) return false;
    // Ruffle cannot go to a frame: the movie starts again from its first one.
    playedSeconds = 0;
    if (playing) playClock.start();
    SendLoad();
    return true;
}

bool CRuffleFlashWindow::GotoFrame(int frame) {
    if (frame <= 0) return Rewind();
    return false;
}

std::optional<int> CRuffleFlashWindow::TotalFrames() {
    if (failedForGood) return std::nullopt;
    return frameCount;
}

std::optional<int> CRuffleFlashWindow::CurrentFrame() {
    if (failedForGood) return std::nullopt;
    if (frameCount <= 0 || frameRate <= 0) return 0;
    double seconds = playedSeconds + (playing ? playClock.elapsed() / 1000.0 : 0);
    auto frame = static_cast<long long>(std::floor(seconds * frameRate));
    return static_cast<int>(frame % frameCount);
}

std::optional<int> CRuffleFlashWindow::GetReadyState() {
    if (failedForGood) return std::nullopt;
    switch (ruffleState) {
        case 1:
            return kInteractive;
        case 2:
            return kComplete;
        default:
            return kLoading;
    }
}
