#include "media/video/direct_show_player_wnd.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/drawing/paint_helpers.h"
#include "graphics/image/cis_image_ex.h"
#include "media/video/direct_show_wnd.h"
#include "media/video/skinned_slider.h"
#include "platform/system_colors.h"
#include "project/vantorix_video_object.h"

namespace {

constexpr int kMaxSkinCell = 48;

QString Clock(double seconds) {
    auto whole = static_cast<long long>(std::max(0.0, seconds));
    return QString::asprintf("%.2lld:%.2lld", whole / 60, whole % 60);
}

}  // namespace

VideoPlayerSetup VideoPlayerSetup::From(const CVantorixVideoObject& object) {
    VideoPlayerSetup setup;
    setup.keepAspect = object.keepAspect != 0;
    setup.controllerShown = object.controllerStyle != 0;
    setup.showButtons = object.showButtons != 0;
    setup.showSlider = object.showSlider != 0;
    setup.timeDisplay = object.timeDisplay;
    setup.videoBackColor = object.videoBackColor;
    setup.barBackColor = object.barBackColor;
    setup.barTextColor = object.barTextColor;
    return setup;
}

CDirectShowPlayerWnd::CDirectShowPlayerWnd(QWidget* parent, VideoPlayerSetup setupIn)
    : QWidget(parent), setup(std::move(setupIn)) {
    setObjectName("VideoWindow");
    setMouseTracking(true);
    video = new CDirectShowWnd(this, {setup.audio});
    video->setGeometry(-10, -10, 1, 1);
    video->playback.onEnd = [this] { OnEnd(); };
    video->onMouse = [this](QMouseEvent* event) {
        if (onPointer) onPointer(event, video->mapTo(this, event->position().toPoint()));
    };
    slider = new CSkinnedSlider(this);
    slider->SetThumbLength(16);
    slider->setVisible(setup.controllerShown && setup.showSlider);
    slider->onTrack = [this](int milliseconds) {
        if (CanSeek()) SeekTo(milliseconds / 1000.0);
    };
    slider->onPageClick = [this](double fraction) {
        if (!CanSeek()) return;
        timer.stop();
        SeekTo(fraction * GetLength());
        UpdateTimer();
    };
    LoadSkin();
    timer.setInterval(100);
    connect(&timer, &QTimer::timeout, this, [this] {
        if (!isVisible() || !video->isVisible()) return;
        update();
    });
}

CDirectShowPlayerWnd::~CDirectShowPlayerWnd() {
    timer.stop();
}

void CDirectShowPlayerWnd::LoadSkin() {
    skinned = false;
    cellSize = 16;
    slider->ClearSkin();
    if (setup.skinPath.empty() || !setup.controllerShown) return;
    CISImageEx strip;
    if (strip.LoadFile(setup.skinPath) != 0) return;
    if (strip.Depth() < 24 && strip.ConvertTo24() != 0) return;
    auto h = static_cast<int>(strip.Height());
    if (h > kMaxSkinCell || h <= 0 || strip.Width() < 15u * static_cast<std::uint32_t>(h)) return;
    QImage whole = ToQImage(strip).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < 15; ++i) skinCells[i] = whole.copy(i * h, 0, h, h);
    cellSize = h;
    skinned = true;
    slider->SetThumbLength(h);
    QRect thumb = slider->ThumbRect();
    slider->SetSkin({skinCells[9], skinCells[10], skinCells[11], skinCells[12].scaled(thumb.size()),
                     skinCells[13].scaled(thumb.size()), skinCells[14].scaled(thumb.size())});
}

void CDirectShowPlayerWnd::Log(const char* action, const std::string& error) {
    if (!setup.log) return;
    VideoLogEntry entry;
    entry.action = action;
    entry.file = file;
    entry.error = error;
    if (std::strcmp(action, "open") == 0) {
        entry.width = nativeSize.width();
        entry.height = nativeSize.height();
        entry.length = GetLength();
    }
    if (std::strcmp(action, "seek") == 0 || std::strcmp(action, "end") == 0) entry.position = GetPosition();
    setup.log(entry);
}

bool CDirectShowPlayerWnd::Raise(const char* event) {
    if (std::strcmp(event, "Finished") == 0) video->finished = true;
    // The object's script may leave the page, and a dialog or a wait in it serves the events
    // that take this window away.
    QPointer<CDirectShowPlayerWnd> alive(this);
    if (onRaise) onRaise(event);
    return alive != nullptr;
}

bool CDirectShowPlayerWnd::LoadMovie(const std::string& hostPath) {
    file = hostPath;
    video->state = kStopped;
    video->finished = false;
    std::string error;
    bool opened = video->playback.Open(hostPath, error);
    if (opened) {
        video->playback.SetVolume(video->volume);
        QSize native = video->playback.NativeSize();
        nativeSize = native.isEmpty() ? QSize(100, 100) : native;
        slider->SetRange(static_cast<int>(std::min(GetLength() * 1000, 2e9)));
        slider->SetPosition(0);
        Log("open");
    } else {
        Log("error", error);
    }
    failed = !opened;
    PlaceVideo();
    UpdateTimer();
    update();
    return opened;
}

bool CDirectShowPlayerWnd::Play() {
    if (!video->playback.IsOpen()) return false;
    if (video->state == kRunning) return true;
    if (!video->playback.SetPaused(false)) return false;
    video->state = kRunning;
    video->finished = false;
    Log("play");
    if (!Raise("Play")) return true;
    UpdateTimer();
    // A movie already at its end (sought there while it stood) ends again at once.
    if (video->playback.AtEnd())
        QMetaObject::invokeMethod(
            this, [this] { OnEnd(); }, Qt::QueuedConnection);
    return true;
}

bool CDirectShowPlayerWnd::Pause() {
    if (!video->playback.IsOpen()) return false;
    if (video->state == kPaused) return true;
    if (!video->playback.SetPaused(true)) return false;
    video->state = kPaused;
    Log("pause");
    if (!Raise("Pause")) return true;
    UpdateTimer();
    return true;
}

bool CDirectShowPlayerWnd::Stop() {
    if (!video->playback.IsOpen()) return false;
    if (video->state == kStopped) return true;
    if (!video->playback.SetPaused(true)) return false;
    video->state = kStopped;
    Log("stop");
    if (!Raise("Stop")) return true;
    // Back at the start, its first picture showing.
    video->playback.SeekTo(0);
    UpdateTimer();
    update();
    return true;
}

void CDirectShowPlayerWnd::OnEnd() {
    // Only a running movie ends; one sought to its end while it stands waits there.
    if (video->state != kRunning || !video->playback.AtEnd()) return;
    Log("end");
    QMetaObject::invokeMethod(
        this, [this] { Raise("Finished"); }, Qt::QueuedConnection);
    if (video->loop) {
        video->playback.SeekTo(0);
        video->playback.SetPaused(false);
        video->state = kRunning;
    } else {
        Stop();  // rewinds too
    }
}

bool CDirectShowPlayerWnd::SeekTo(double seconds) {
    if (!video->playback.SeekTo(seconds)) return false;
    Log("seek");
    update();
    return true;
}

std::int64_t CDirectShowPlayerWnd::DroppedFrames() const {
    return video->playback.DroppedFrames();
}

std::int64_t CDirectShowPlayerWnd::FramesShown() const {
    return video->playback.FramesShown();
}

bool CDirectShowPlayerWnd::CanSeek() const {
    return video->playback.CanSeek();
}

double CDirectShowPlayerWnd::GetLength() const {
    return video->playback.Duration();
}

double CDirectShowPlayerWnd::GetPosition() const {
    return video->playback.Position();
}

CKXVideoPlayer::State CDirectShowPlayerWnd::GetState() const {
    return video->playback.IsOpen() ? video->state : kStopped;
}

void CDirectShowPlayerWnd::SetVolume(int hundredthsOfDecibel) {
    video->volume = std::clamp(hundredthsOfDecibel, -10000, 0);
    video->playback.SetVolume(video->volume);
}

int CDirectShowPlayerWnd::GetVolume() const {
    return video->volume;
}

void CDirectShowPlayerWnd::SetLoop(bool loop) {
    video->loop = loop;
}

// The timer only matters while the movie moves: a paused or stopped player wakes nobody.
void CDirectShowPlayerWnd::UpdateTimer() {
    if (video->state == kRunning && !failed) {
        if (!timer.isActive()) timer.start();
    } else {
        timer.stop();
    }
}

QRect CDirectShowPlayerWnd::VideoArea() const {
    int bar = setup.controllerShown ? cellSize + 8 : 0;
    return QRect(0, 0, width(), std::max(0, height() - bar));
}

QRect CDirectShowPlayerWnd::PictureRect() const {
    QRect area = VideoArea();
    if (!setup.keepAspect) return area;
    int nw = std::max(1, nativeSize.width()), nh = std::max(1, nativeSize.height());
    int percent = std::min(static_cast<int>(static_cast<double>(area.height()) / nh * 100),
                           static_cast<int>(static_cast<double>(area.width()) / nw * 100));
    QSize picture = percent > 0 ? QSize((nw + 1) * percent / 100, (nh + 1) * percent / 100) : QSize(nw, nh);
    return QRect(QPoint((area.width() - picture.width()) / 2, (area.height() - picture.height()) / 2), picture);
}

QRect CDirectShowPlayerWnd::ButtonRect(int index) const {
    int barTop = VideoArea().bottom() + 1;
    int x = index == 0 ? 4 : index == 1 ? cellSize + 6 : 2 * cellSize + 8;
    return QRect(x, barTop + (cellSize + 8 - cellSize) / 2, cellSize, cellSize);
}

void CDirectShowPlayerWnd::PlaceVideo() {
    if (failed) {
        video->hide();
    } else {
        video->setGeometry(setup.border ? PictureRect().intersected(rect().adjusted(1, 1, -1, -1)) : PictureRect());
        video->show();
    }
    if (!setup.controllerShown) return;
    QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    // The slider leaves room for the widest text of the time display's mode.
    QString widest = setup.timeDisplay == 3                             ? "00:00/00:00"
                     : setup.timeDisplay == 1 || setup.timeDisplay == 2 ? "00:00"
                                                                        : "";
    int textWidth = widest.isEmpty() ? 0 : metrics.horizontalAdvance(widest) + 4;
    int left = setup.showButtons ? 3 * cellSize + 12 : 4;
    int barTop = VideoArea().bottom() + 1;
    slider->setGeometry(left, barTop + 2, std::max(0, width() - textWidth - left - 4), cellSize + 4);
}

void CDirectShowPlayerWnd::resizeEvent(QResizeEvent*) {
    PlaceVideo();
}

QString CDirectShowPlayerWnd::TimeText() const {
    switch (setup.timeDisplay) {
        case 1:
            return Clock(GetPosition());
        case 2:
            return Clock(GetLength());
        case 3:
            return Clock(GetPosition()) + "/" + Clock(GetLength());
        default:
            return {};
    }
}

void CDirectShowPlayerWnd::PaintButton(QPainter& painter, int index) {
    QRect r = ButtonRect(index);
    int look = index == pressedButton && index == hotButton ? 2 : index == hotButton ? 1 : 0;
    if (skinned) {
        painter.drawImage(r, skinCells[index * 3 + look]);
        return;
    }
    QColor ink = ColorOf(setup.barTextColor), shadow = ColorOf(SystemColor::buttonShadow);
    if (look != 0) {
        // Hot buttons stand out, pressed ones sink in.
        QColor light = ColorOf(SystemColor::buttonHighlight);
        painter.setPen(look == 1 ? light : shadow);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(look == 1 ? shadow : light);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
    QRect glyph = r.adjusted(4, 4, -4, -4).translated(look == 2 ? 1 : 0, look == 2 ? 1 : 0);
    painter.setPen(shadow);
    painter.setBrush(ink);
    if (index == 0) {
        QPoint points[] = {glyph.topLeft(), QPoint(glyph.right(), glyph.center().y()), glyph.bottomLeft()};
        painter.drawPolygon(points, 3);
    } else if (index == 1) {
        int bar = std::max(2, glyph.width() / 3);
        painter.drawRect(QRect(glyph.left(), glyph.top(), bar, glyph.height()));
        painter.drawRect(QRect(glyph.right() - bar + 1, glyph.top(), bar, glyph.height()));
    } else {
        painter.drawRect(glyph);
    }
    painter.setBrush(Qt::NoBrush);
}

void CDirectShowPlayerWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect area = VideoArea();
    painter.fillRect(area, ColorOf(setup.videoBackColor));
    if (setup.controllerShown) PaintBar(painter, QRect(0, area.bottom() + 1, width(), height() - area.height()));
    if (setup.border) {
        painter.setPen(ColorOf(SystemColor::darkShadow));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CDirectShowPlayerWnd::PaintBar(QPainter& painter, QRect bar) {
    painter.fillRect(bar, ColorOf(setup.barBackColor));
    if (setup.showButtons) {
        for (int i = 0; i < 3; ++i) PaintButton(painter, i);
    }
    if (slider->isVisible()) {
        slider->SetBackground(ColorOf(setup.barBackColor));
        slider->SetPosition(static_cast<int>(std::min(GetPosition() * 1000, 2e9)));
    }
    QString text = TimeText();
    if (!text.isEmpty()) {
        painter.setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
        painter.setPen(ColorOf(setup.barTextColor));
        painter.drawText(bar.adjusted(0, 0, -2, 0), Qt::AlignRight | Qt::AlignVCenter, text);
    }
}

int CDirectShowPlayerWnd::ButtonAt(QPoint point) const {
    if (!setup.controllerShown || !setup.showButtons) return -1;
    for (int i = 0; i < 3; ++i) {
        if (ButtonRect(i).contains(point)) return i;
    }
    return -1;
}

void CDirectShowPlayerWnd::mousePressEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        pressedButton = ButtonAt(at);
        hotButton = pressedButton;
        update();
    }
    if (onPointer) onPointer(event, at);
}

void CDirectShowPlayerWnd::mouseReleaseEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        int released = ButtonAt(at);
        int pressed = std::exchange(pressedButton, -1);
        update();
        QPointer<CDirectShowPlayerWnd> alive(this);
        if (released >= 0 && released == pressed) {
            if (released == 0) Play();
            if (released == 1) Pause();
            if (released == 2) Stop();
        }
        if (!alive) return;
    }
    if (onPointer) onPointer(event, at);
}

void CDirectShowPlayerWnd::mouseMoveEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    int hot = ButtonAt(at);
    if (hot != hotButton) {
        hotButton = hot;
        update();
    }
    if (onPointer) onPointer(event, at);
}

void CDirectShowPlayerWnd::leaveEvent(QEvent*) {
    if (hotButton == -1) return;
    hotButton = -1;
    update();
}
