#include "media/flash/ruffle/ruffle_web_profile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>

#include <unistd.h>

#include <algorithm>
#include <utility>

#include "media/flash/ruffle/ruffle_page.h"

namespace {

constexpr char scheme[] = "vxflash";
// Spare pages kept for the next movies: each costs some memory in the web engine's process.
constexpr std::size_t maxSpares = 2;

// Serves vxflash://player/...: the page, the web channel's script, Ruffle's files and movies.
class SchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    explicit SchemeHandler(CRuffleWebProfile& owner) : owner(owner) {}

    void requestStarted(QWebEngineUrlRequestJob* job) override {
        const QString path = job->requestUrl().path();
        QString file;
        QByteArray type = "application/octet-stream";
        static const QRegularExpression plainName("^[A-Za-z0-9._-]+$");
        if (path == "/page.html") {
            file = ":/vxflash/page.html";
            type = "text/html";
        } else if (path == "/page.js") {
            file = ":/vxflash/page.js";
            type = "text/javascript";
        } else if (path == "/start.js") {
            file = ":/vxflash/start.js";
            type = "text/javascript";
        } else if (path == "/qwebchannel.js") {
            file = ":/qtwebchannel/qwebchannel.js";
            type = "text/javascript";
        } else if (path.startsWith("/ruffle/") && plainName.match(path.mid(8)).hasMatch()) {
            file = owner.RufflePath() + path.mid(7);
            if (path.endsWith(".js")) type = "text/javascript";
            if (path.endsWith(".wasm")) type = "application/wasm";
        } else if (path.startsWith("/movie/")) {
            file = owner.MovieFile(path);
            type = "application/x-shockwave-flash";
        }
        auto* device = new QFile(file, job);
        if (file.isEmpty() || !QFileInfo(file).isFile() || !device->open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        job->reply(type, device);
    }

private:
    CRuffleWebProfile& owner;
};

// Nothing leaves the machine: a movie's getURL or a page's script can only reach our scheme.
class LocalOnly : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString requested = info.requestUrl().scheme();
        if (requested != scheme && requested != "data" && requested != "blob") info.block(true);
    }
};

// The web engine's notes on how it was started, which say nothing about the menu.
QtMessageHandler previousHandler = nullptr;
void QuietStartNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    static const char* const notes[] = {"Sandboxing disabled by user", "WebEngineContext used before",
                                        "No suitable graphics backend found", "Please register the custom scheme"};
    for (const char* note : notes) {
        if (message.startsWith(QLatin1String(note))) return;
    }
    if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

CRuffleWebProfile*& CRuffleWebProfile::Made() {
    static CRuffleWebProfile* instance = nullptr;
    return instance;
}

CRuffleWebProfile& CRuffleWebProfile::Open(const QString& rufflePath) {
    if (!Made()) Made() = new CRuffleWebProfile(rufflePath);
    return *Made();
}

CRuffleWebProfile& CRuffleWebProfile::Instance() {
    return *Made();
}

CRuffleWebProfile::CRuffleWebProfile(const QString& ruffle) : rufflePath(ruffle) {
    // The web engine reads these when it starts, which is now. Chromium refuses to run as root
    // with its sandbox, and its own log would fill the player's standard error. All the pages
    // share one process, as Flash movies once shared the menu's: a process of its own each would
    // cost every movie some hundred megabytes more.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    flags += " --log-level=3 --autoplay-policy=no-user-gesture-required --process-per-site";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    previousHandler = qInstallMessageHandler(QuietStartNotes);
    QLoggingCategory::setFilterRules("qt.webenginecontext.debug=false\nqt.webenginecontext.info=false");
    profile = new QWebEngineProfile(QCoreApplication::instance());
    pages = new QObject(QCoreApplication::instance());
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->installUrlSchemeHandler(scheme, new SchemeHandler(*this));
    profile->setUrlRequestInterceptor(new LocalOnly);
    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
}

QString CRuffleWebProfile::AddMovie(const QString& hostPath) {
    QString address = "/movie/" + QString::number(nextMovie++) + ".swf";
    movies[address] = hostPath;
    return address;
}

void CRuffleWebProfile::RemoveMovie(const QString& address) {
    movies.remove(address);
}

QString CRuffleWebProfile::MovieFile(const QString& address) const {
    return movies.value(address);
}

CRufflePage* CRuffleWebProfile::NewPage() {
    auto* page = new CRufflePage(profile, pages);
    QObject::connect(page, &CRufflePage::movieLoaded, pages, [this] { PrepareSpare(); });
    QObject::connect(page, &CRufflePage::died, pages, [this, page](bool servingWindow) {
        if (!servingWindow) ForgetPage(page);
    });
    // The web engine lets go of its profiles as the application ends, before the application's
    // children go: the kept pages must go first. Routines run in the reverse order of their
    // adding, so this one, added after the engine's, runs before it.
    static bool added = false;
    if (!std::exchange(added, true)) qAddPostRoutine([] { delete std::exchange(Instance().pages, nullptr); });
    return page;
}

CRufflePage* CRuffleWebProfile::TakePage() {
    auto warm = std::find_if(spares.begin(), spares.end(), [](CRufflePage* page) { return page->IsWarm(); });
    if (warm == spares.end()) warm = spares.begin();
    if (warm == spares.end()) return NewPage();
    CRufflePage* page = *warm;
    spares.erase(warm);
    return page;
}

void CRuffleWebProfile::GivePage(CRufflePage* page) {
    if (!page) return;
    page->Detach();
    if (page->IsDead() || spares.size() >= maxSpares) {
        page->deleteLater();
        return;
    }
    spares.push_back(page);
}

void CRuffleWebProfile::PrepareSpare() {
    if (!spares.empty()) return;
    spares.push_back(NewPage());
}

void CRuffleWebProfile::ForgetPage(CRufflePage* page) {
    spares.erase(std::remove(spares.begin(), spares.end(), page), spares.end());
    page->deleteLater();
}
