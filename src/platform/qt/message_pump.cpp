#include "platform/qt/message_pump.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>

namespace {

class PointerFilter : public QObject {
public:
    int dropped = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseMove:
                ++dropped;
                return true;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                    ++dropped;
                    return true;
                }
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void PumpMessagesFiltered(int milliseconds, const std::function<bool()>& interrupted) {
    PointerFilter filter;
    qApp->installEventFilter(&filter);
    if (milliseconds <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
        QDeadlineTimer deadline(milliseconds);
        while (!deadline.hasExpired() && !(interrupted && interrupted())) {
            // Sleeps until an event comes or the time is up, so waiting costs no processor.
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            static_cast<int>(deadline.remainingTime()));
        }
    }
    qApp->removeEventFilter(&filter);
}

int PumpOneMessage() {
    PointerFilter filter;
    qApp->installEventFilter(&filter);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(&filter);
    return filter.dropped;
}
