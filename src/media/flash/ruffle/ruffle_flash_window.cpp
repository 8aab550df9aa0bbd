#include "media/flash/ruffle/ruffle_flash_window.h"

#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <cmath>
#include <utility>

#include "media/flash/ruffle/ruffle_page.h"
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

}  // namespace

void CRuffleFlashWindow::PageReady() {
    pageIsReady = true;
    SendLoad();
}

void CRuffleFlashWindow::ReadyState(int state, bool nowPlaying) {
    bool changed = state != ruffleState;
    ruffleState = state;
    SetPlaying(nowPlaying);
    if (changed) Log("ready", std::to_string(*GetReadyState()));
}

void CRuffleFlashWindow::Metadata(int frames, double rate) {
    frameCount = frames;
    frameRate = rate;
}

void CRuffleFlashWindow::FsCommand(const QString& command, const QString& arguments) {
    Log("fscommand", (command + " " + arguments).toStdString());
    if (setup.onFsCommand) setup.onFsCommand(command.toStdString(), arguments.toStdString());
}

CRuffleFlashWindow::CRuffleFlashWindow(const FlashWindowSetup& setup, const QString& rufflePath)
    : QWidget(setup.parent), setup(setup) {
    setObjectName("FlashWindow");
    setGeometry(setup.rect);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view = new QWebEngineView(this);
    page = CRuffleWebProfile::Open(rufflePath).TakePage();
    page->Attach();
    connect(page, &CRufflePage::pageReady, this, &CRuffleFlashWindow::PageReady);
    connect(page, &CRufflePage::readyState, this, &CRuffleFlashWindow::ReadyState);
    connect(page, &CRufflePage::metadata, this, &CRuffleFlashWindow::Metadata);
    connect(page, &CRufflePage::fsCommand, this, &CRuffleFlashWindow::FsCommand);
    connect(page, &CRufflePage::failed, this, &CRuffleFlashWindow::Fail);
    connect(page, &CRufflePage::scriptError, this,
            [this](const QString& message) { Log("error", message.toStdString()); });
    connect(page, &CRufflePage::died, this, [this] { Fail("the player's process ended"); });
    pageIsReady = page->IsReady();
    view->setPage(page->Page());
    layout->addWidget(view);
    settings["play"] = true;
    setEnabled(setup.enabled);
    setVisible(setup.visible);
}

CRuffleFlashWindow::~CRuffleFlashWindow() {
    CRuffleWebProfile& profile = CRuffleWebProfile::Instance();
    // The page goes on serving other windows: nothing of it reaches this one any more.
    page->disconnect(this);
    if (!movieAddress.isEmpty()) profile.RemoveMovie(movieAddress);
    // The view lets go of the page, which goes back to the profile for the next movie.
    delete std::exchange(view, nullptr);
    profile.GivePage(std::exchange(page, nullptr));
}

void CRuffleFlashWindow::Fail(const QString& message) {
    Log("error", message.toStdString());
    if (std::exchange(failedForGood, true)) return;
    if (setup.onFailed) setup.onFailed();
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
    CRuffleWebProfile& profile = CRuffleWebProfile::Instance();
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
    page->Command("load", settings);
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
    page->Command("play");
    return true;
}

bool CRuffleFlashWindow::Stop() {
    if (failedForGood) return false;
    wantPlaying = false;
    page->Command("stop");
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
