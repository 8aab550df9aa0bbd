#include "media/flash/ruffle/ruffle_page.h"

#include <QColor>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>

#include <functional>
#include <utility>

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
    if (page.attached) {
        emit page.pageReady();
    } else {
        page.Command("warm");
    }
}

void CRuffleBridge::warmed() {
    page.warm = true;
}

void CRuffleBridge::readyState(int state, bool playing) {
    if (!page.attached) return;
    emit page.readyState(state, playing);
    if (state == 2) emit page.movieLoaded();
}

void CRuffleBridge::metadata(const QVariantMap& values) {
    if (page.attached) emit page.metadata(values.value("numFrames").toInt(), values.value("frameRate").toDouble());
}

void CRuffleBridge::fsCommand(const QString& command, const QString& arguments) {
    if (page.attached) emit page.fsCommand(command, arguments);
}

void CRuffleBridge::failed(const QString& message) {
    if (page.attached) emit page.failed(message);
}

CRufflePage::CRufflePage(QWebEngineProfile* profile, QObject* parent) : QObject(parent), bridge(*this) {
    page = new ReportingPage(profile, this, [this](const QString& message) {
        if (attached) emit scriptError(message);
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

void CRufflePage::Attach() {
    attached = true;
}

void CRufflePage::Detach() {
    attached = false;
    Command("unload");
}

void CRufflePage::Command(const QString& name, const QVariantMap& settings) {
    emit bridge.command(name, settings);
}

void CRufflePage::Died() {
    dead = true;
    emit died(attached);
}
