#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

class QWebChannel;
class QWebEnginePage;
class QWebEngineProfile;
class CRuffleFlashWindow;
class CRufflePage;

// What the page and the player program say to each other over the web channel. The page's
// reports go to the window the page serves; a spare page serves none.
class CRuffleBridge : public QObject {
    Q_OBJECT
public:
    explicit CRuffleBridge(CRufflePage& page) : page(page) {}

public slots:
    void pageReady();
    void warmed();
    void readyState(int state, bool playing);
    void metadata(const QVariantMap& values);
    void fsCommand(const QString& command, const QString& arguments);
    void failed(const QString& message);

signals:
    // "load" (with the settings), "play", "stop", "unload" or "warm".
    void command(const QString& name, const QVariantMap& settings);

private:
    CRufflePage& page;
};

// One web page running Ruffle, with its channel. Pages outlive the windows that show them: a
// window that goes gives its page back to the profile, which keeps it for the next movie, so
// that movie starts without loading and compiling Ruffle again.
class CRufflePage : public QObject {
public:
    CRufflePage(QWebEngineProfile* profile, QObject* parent);
    ~CRufflePage() override;

    QWebEnginePage* Page() const { return page; }
    // Serves a window from now on; the window hears pageReady once the page has loaded.
    void Attach(CRuffleFlashWindow* window);
    // Serves no window any more: the page drops its movie.
    void Detach();
    bool IsReady() const { return ready; }
    bool IsWarm() const { return warm; }
    // The page's process ended: the page shows nothing any more.
    bool IsDead() const { return dead; }
    void Command(const QString& name, const QVariantMap& settings = {});

private:
    friend class CRuffleBridge;
    void Died();

    QWebEnginePage* page = nullptr;
    QWebChannel* channel = nullptr;
    CRuffleBridge bridge;
    CRuffleFlashWindow* window = nullptr;
    bool ready = false;
    bool warm = false;
    bool dead = false;
};
