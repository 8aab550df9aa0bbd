#pragma once

#include <QElapsedTimer>
#include <QVariantMap>
#include <QWidget>

#include "media/flash/flash_window.h"

class QWebEngineView;
class CRufflePage;

// A Flash object's window: a web view over the object's rectangle whose page runs one Ruffle
// player. The player's state is mirrored here as the page reports it, so every question the
// actions ask is answered at once.
class CRuffleFlashWindow : public QWidget, public CKXFlashWindow {
public:
    CRuffleFlashWindow(const FlashWindowSetup& setup, const QString& rufflePath);
    ~CRuffleFlashWindow() override;

    QWidget* Widget() override { return this; }
    bool PutQuality2(const std::string& quality) override;
    bool PutScaleMode(int mode) override;
    bool PutAlignMode(int bits) override;
    bool PutBackgroundColor(int color) override;
    bool PutMenu(bool show) override;
    bool PutDeviceFont(bool use) override;
    bool PutMovie(const std::string& hostPath) override;
    bool PutLoop(bool loop) override;
    bool Play() override;
    bool Stop() override;
    bool Rewind() override;
    bool GotoFrame(int frame) override;
    std::optional<int> TotalFrames() override;
    std::optional<int> CurrentFrame() override;
    std::optional<int> GetReadyState() override;

private:
    // What the page reports.
    void PageReady();
    void ReadyState(int state, bool playing);
    void Metadata(int frames, double rate);
    void FsCommand(const QString& command, const QString& arguments);

    void SendLoad();
    void SetPlaying(bool playing);
    void Fail(const QString& message);
    void Log(const char* action, const std::string& detail);

    FlashWindowSetup setup;
    QWebEngineView* view = nullptr;
    CRufflePage* page = nullptr;
    QVariantMap settings;
    QString movieAddress;
    bool pageIsReady = false;
    bool failedForGood = false;
    bool wantPlaying = true;
    // The page's report: Ruffle's load state (0 nothing, 1 loading, 2 loaded) and whether it plays.
    int ruffleState = -1;
    bool playing = false;
    int frameCount = 0;
    double frameRate = 0;
    // Ruffle tells no frame number: the frame is counted from the time the movie has played.
    QElapsedTimer playClock;
    double playedSeconds = 0;
};
