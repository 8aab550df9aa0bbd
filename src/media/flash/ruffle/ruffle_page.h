#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

class QWebChannel;
class QWebEnginePage;
class QWebEngineProfile;
class CRufflePage;

// What the page and the player program say to each other over the web channel. The page's
// reports become its signals while it serves a window; a spare page serves none.
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
// that movie starts without loading and compiling Ruffle again. The page only announces what
// happens; the window it serves and the profile listen.
class CRufflePage : public QObject {
    Q_OBJECT
public:
    CRufflePage(QWebEngineProfile* profile, QObject* parent);
    ~CRufflePage() override;

    QWebEnginePage* Page() const { return page; }
    // Serves a window from now on: the signals below are for it.
    void Attach();
    // Serves no window any more: the page drops its movie.
    void Detach();
    bool IsReady() const { return ready; }
    bool IsWarm() const { return warm; }
    // The page's process ended: the page shows nothing any more.
    bool IsDead() const { return dead; }
    void Command(const QString& name, const QVariantMap& settings = {});

signals:
    // To the window served: the page has loaded, Ruffle's load state, the movie's frames and
    // rate, its FSCommands, Ruffle's failures and the page's script errors.
    void pageReady();
    void readyState(int state, bool playing);
    void metadata(int frames, double rate);
    void fsCommand(const QString& command, const QString& arguments);
    void failed(const QString& message);
    void scriptError(const QString& message);
    // To the profile: a movie has loaded (the next one gets a page made ready meanwhile), and
    // the page's process ended (servingWindow: whether a window was using it).
    void movieLoaded();
    void died(bool servingWindow);

private:
    friend class CRuffleBridge;
    void Died();

    QWebEnginePage* page = nullptr;
    QWebChannel* channel = nullptr;
    CRuffleBridge bridge;
    bool attached = false;
    bool ready = false;
    bool warm = false;
    bool dead = false;
};
