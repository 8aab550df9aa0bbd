#include "media/flash/ruffle/ruffle_page.h"

#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>

#include <functional>
#include <utility>

#include "media/flash/ruffle/ruffle_flash_window.h"
#include "media/flash/ruffle/ruffle_web_profile.h"

namespace {

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
    page.ready = true;
    if (page.window) {
        page.window->PageReady();
    } else {
        page.Command("warm");
    }
}

void CRuffleBridge::warmed() {
    page.warm = true;
}

void CRuffleBridge::readyState(int state, bool playing) {
    if (!page.window) return;
    page.window->ReadyState(state, playing);
    // With a movie loaded, the next one gets a page made ready meanwhile.
    if (state == 2) CRuffleWebProfile::Instance({}).PrepareSpare();
}

void CRuffleBridge::metadata(const QVariantMap& values) {
    if (page.window) page.window->Metadata(values.value("numFrames").toInt(), values.value("frameRate").toDouble());
}

void CRuffleBridge::fsCommand(const QString& command, const QString& arguments) {
    if (page.window) page.window->FsCommand(command, arguments);
}

void CRuffleBridge::failed(const QString& message) {
    if (page.window) page.window->Fail(message);
}

CRufflePage::CRufflePage(QWebEngineProfile* profile, QObject* parent) : QObject(parent), bridge(*this) {
    page = new ReportingPage(profile, this, [this](const QString& message) {
        if (window) window->Log("error", message.toStdString());
    });
    // The page under the movie shows until the movie draws.
    page->setBackgroundColor(Qt::transparent);
    channel = new QWebChannel(page);
    channel->registerObject("bridge", &bridge);
    page->setWebChannel(channel);
    QObject::connect(page, &QWebEnginePage::renderProcessTerminated, this,
                     [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                         if (status != QWebEnginePage::NormalTerminationStatus) Died();
                     });
    page->load(QUrl("vxflash://player/page.html"));
}

CRufflePage::~CRufflePage() {
    delete page;
}

void CRufflePage::Attach(CRuffleFlashWindow* user) {
    window = user;
}

void CRufflePage::Detach() {
    window = nullptr;
    Command("unload");
}

void CRufflePage::Command(const QString& name, const QVariantMap& settings) {
    emit bridge.command(name, settings);
}

void CRufflePage::Died() {
    dead = true;
    if (window) {
        window->Fail("the player's process ended");
    } else {
        CRuffleWebProfile::Instance({}).ForgetPage(this);
    }
}
