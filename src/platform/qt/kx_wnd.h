#pragma once

#include <QWidget>

#include <cstdint>
#include <map>

// A window as the player's window code expects one: private messages posted or sent to it,
// numbered timers, invalidation and immediate repaints, and a paint that knows the box being
// repainted. The page view and the main frame are built on it.
class CKXWnd : public QWidget {
    Q_OBJECT
public:
    explicit CKXWnd(QWidget* parent = nullptr);

    // Queues a message; it is handled by OnMessage from the event loop.
    void PostMessage(int message, std::intptr_t wParam, std::intptr_t lParam);
    // Handles a message at once.
    std::intptr_t SendMessage(int message, std::intptr_t wParam, std::intptr_t lParam) {
        return OnMessage(message, wParam, lParam);
    }
    // A repeating timer with the given number; setting it again restarts it.
    void SetTimer(int id, int milliseconds);
    void KillTimer(int id);
    bool IsTimerSet(int id) const { return timers.count(id) != 0; }
    void InvalidateRect(const QRect* rect);
    // Invalidates and repaints before returning.
    void RedrawNow(const QRect* rect = nullptr);

protected:
    virtual std::intptr_t OnMessage(int message, std::intptr_t wParam, std::intptr_t lParam);
    virtual void OnTimer(int id);
    // Paints the box being repainted (the bounding box of the region).
    virtual void OnPaint(const QRect& clipBox);

    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::map<int, int> timers;  // our timer number -> Qt's
};
