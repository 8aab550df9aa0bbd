#include "view/object_painters.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <filesystem>

#include "platform/code_page.h"
#include "project/kx_font.h"
#include "actions/action_support.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_menu_page.h"
#include "project/vantorix_text_object.h"
#include "script/lua50_dialect.h"
#include "script/script_document.h"
#include "view/broken_link_painter.h"
#include "view/dibs_mem_dc.h"

namespace {

QColor ColorOf(std::int32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

template <class T>
T& RuntimeOf(std::unique_ptr<CKXRuntimeState>& slot) {
    if (!slot) slot = std::make_unique<T>();
    return static_cast<T&>(*slot);
}

// Draws a picture at (x, y) in view coordinates, only the part inside the surface's box.
void DrawPicture(const CISImageEx& picture, CDIBSMemDC& dc, int x, int y) {
    picture.Draw(dc.Surface(), x - dc.Box().left(), y - dc.Box().top());
}

QStringList LinesOf(const std::string& text, const CodePage& codePage) {
    QStringList lines;
    for (QString line : QString::fromStdString(codePage.ToUtf8(text)).split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines << line;
    }
    return lines;
}

}  // namespace

std::string ProjectFileHostPath(const CKXScriptDocument& document, const std::string& name) {
    std::string direct = ScriptHostPath(name);
    if (!direct.empty() && std::filesystem::exists(direct)) return direct;
    return ScriptHostPath(document.PathBesideExe(name));
}

bool ReloadImage(CVantorixImageObject& image, const CKXScriptDocument& document) {
    ImageRuntime& runtime = RuntimeOf<ImageRuntime>(image.runtime);
    runtime.display.Free();
    runtime.hit.Free();
    runtime.loaded = false;
    if (image.imageFile.empty()) return false;
    CISImageEx& picture = runtime.display;
    if (picture.LoadFile(ProjectFileHostPath(document, image.imageFile)) != 0) return false;
    if (picture.Depth() != 32 && picture.ConvertTo32() != 0) return false;
    std::uint8_t* pixels = picture.Pixels();
    std::size_t count = static_cast<std::size_t>(picture.Width()) * picture.Height();
    if (image.useTransparentColor) {
        int d = static_cast<int>(image.tolerance * 0.01 * 255);
        int key[3] = {image.transparentColor & 0xFF, (image.transparentColor >> 8) & 0xFF,
                      (image.transparentColor >> 16) & 0xFF};
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* p = pixels + i * 4;
            if (std::abs(p[0] - key[0]) <= d && std::abs(p[1] - key[1]) <= d && std::abs(p[2] - key[2]) <= d) p[3] = 0;
        }
    }
    runtime.hit.CopyFrom(picture);
    if (image.opacity < 100) {
        int k = image.opacity * 255 / 100;
        for (std::size_t i = 0; i < count; ++i) pixels[i * 4 + 3] = static_cast<std::uint8_t>((pixels[i * 4 + 3] * k) >> 8);
    }
    auto width = static_cast<std::uint32_t>(std::max(1, image.rect.right - image.rect.left));
    auto height = static_cast<std::uint32_t>(std::max(1, image.rect.bottom - image.rect.top));
    if (picture.Resize(width, height) != 0 || runtime.hit.Resize(width, height) != 0) return false;
    runtime.loaded = true;
    return true;
}

void DrawImageObject(CVantorixImageObject& image, CDIBSMemDC& dc, const CKXScriptDocument& document) {
    if (!image.visible) return;
    ImageRuntime& runtime = RuntimeOf<ImageRuntime>(image.runtime);
    bool drawn = false;
    if (runtime.loaded || ReloadImage(image, document)) {
        drawn = runtime.display.Draw(dc.Surface(), image.rect.left - dc.Box().left(),
                                     image.rect.top - dc.Box().top()) == 0;
    }
    if (!drawn) {
        CKXBrokenLinkPainter placeholder;
        placeholder.SetTarget(3, ToQRect(image.rect), image.imageFile);
        placeholder.Paint(dc.Painter(), document.codePage);
    }
}

ButtonRuntime& LoadedButton(CVantorixButtonObject& button, const CKXScriptDocument& document) {
    ButtonRuntime& runtime = RuntimeOf<ButtonRuntime>(button.runtime);
    if (!runtime.loaded && !button.buttonFile.empty()) {
        std::string path = ScriptHostPath(ResolveSourcePath(document, button.buttonFile));
        runtime.loaded = runtime.button.LoadButtonFile(path);
    }
    return runtime;
}

void DrawButton(CVantorixButtonObject& button, CDIBSMemDC& dc, const CKXScriptDocument& document) {
    if (!button.visible) return;
    ButtonRuntime& runtime = LoadedButton(button, document);
    if (!runtime.loaded) {
        CKXBrokenLinkPainter placeholder;
        placeholder.SetTarget(0, ToQRect(button.rect), button.buttonFile);
        placeholder.Paint(dc.Painter(), document.codePage);
        return;
    }
    int state = std::clamp(button.displayState, 0, 5);
    std::int32_t color = (state == 1 || state == 4) ? button.highlightTextColor
                         : (state == 2 || state == 5) ? button.disabledTextColor
                         : state == 3                 ? button.pressedTextColor
                                                      : button.normalTextColor;
    int width = button.rect.right - button.rect.left, height = button.rect.bottom - button.rect.top;
    if (const CISImageEx* picture = runtime.button.GetStatePicture(state, width, height)) {
        DrawPicture(*picture, dc, button.rect.left, button.rect.top);
    }
    if (button.caption.empty()) return;
    QPainter& painter = dc.Painter();
    painter.save();
    QFont font = MakeFont(button.captionFont, document.codePage);
    QString caption = QString::fromStdString(document.codePage.ToUtf8(button.caption));
    QFontMetrics metrics(font);
    int cw = metrics.horizontalAdvance(caption), ch = metrics.height();
    int top = button.rect.top + static_cast<int>(height * (runtime.button.CenterY() + runtime.button.DeltaY(state)) * 0.01) -
              ch / 2 + button.captionYOffset;
    int left = button.rect.left;
    if (button.captionAlignment == 1) {
        left += static_cast<int>((runtime.button.CenterX() + runtime.button.DeltaX(state)) * 0.01 * width) - cw / 2;
    } else if (button.captionAlignment == 2) {
        left = button.rect.right - cw;
    }
    left += button.captionXOffset;
    painter.setClipRect(ToQRect(button.rect));
    painter.setFont(font);
    painter.setPen(ColorOf(color));
    painter.drawText(QRect(left, top, cw, ch), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextDontClip, caption);
    painter.restore();
}

QFont MakeFont(const CKXFont& description, const CodePage& codePage) {
    QFont font(QString::fromStdString(codePage.ToUtf8(description.faceName)));
    int height = description.height;
    if (height < 0) {
        font.setPixelSize(-height);
    } else if (height > 0) {
        // A positive height is the cell height, leading included: scale the character height to it.
        font.setPixelSize(height);
        int cell = QFontMetrics(font).height();
        if (cell > 0) font.setPixelSize(std::max(1, height * height / cell));
    }
    font.setWeight(static_cast<QFont::Weight>(std::clamp(description.weight == 0 ? 400 : description.weight, 100, 900)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeout != 0);
    font.setStyleStrategy(description.smoothing ? QFont::PreferAntialias : QFont::NoAntialias);
    return font;
}

QRect MeasureText(const std::string& text, const QFont& font, const CodePage& codePage, QPoint topLeft) {
    if (text.empty()) return QRect(topLeft, QSize(5, 5));
    QStringList lines = LinesOf(text, codePage);
    QFontMetrics metrics(font);
    QString widest;
    int widestWidth = -1;
    for (const QString& line : lines) {
        int width = metrics.horizontalAdvance(line);
        if (width > widestWidth) {
            widestWidth = width;
            widest = line;
        }
    }
    int count = static_cast<int>(lines.size());
    if (widest.isEmpty()) return QRect(topLeft, QSize(6, 6 * count));
    return QRect(topLeft, QSize(widestWidth + 6, count * metrics.height() + 6));
}

void DrawLabel(CVantorixTextObject& label, CDIBSMemDC& dc, const CodePage& codePage) {
    if (!label.visible) return;
    int state = label.displayState;
    std::int32_t color = state == 1 ? label.highlightColor
                         : (state == 2 || state == 5) ? label.disabledColor
                         : (state == 3 || state == 4) ? label.pressedColor
                                                      : label.normalColor;
    // The font and the text's size are made once and kept until the text changes.
    LabelRuntime& runtime = RuntimeOf<LabelRuntime>(label.runtime);
    if (!runtime.fontMade) {
        runtime.font = MakeFont(label.font, codePage);
        runtime.fontMade = true;
    }
    if (!runtime.measured || runtime.measuredText != label.text) {
        runtime.measuredSize = MeasureText(label.text, runtime.font, codePage, QPoint(0, 0)).size();
        runtime.measuredText = label.text;
        runtime.measured = true;
    }
    const QFont& font = runtime.font;
    int width = runtime.measuredSize.width(), height = runtime.measuredSize.height();
    QPainter& painter = dc.Painter();
    painter.save();
    painter.setFont(font);
    painter.setPen(ColorOf(color));
    int align = label.alignment == 1 ? Qt::AlignHCenter : label.alignment == 2 ? Qt::AlignRight : Qt::AlignLeft;
    QString text = LinesOf(label.text, codePage).join('\n');
    int flags = align | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextDontClip;
    VxRect& r = label.rect;
    switch (label.angle) {
        case 0:
            r.right = r.left + width;
            r.bottom = r.top + height;
            painter.drawText(QRect(QPoint(r.left + 2, r.top), QPoint(r.right + 1, r.bottom - 1)), flags, text);
            break;
        case 90:  // reads bottom to top; the block turns about the rectangle's bottom-left
            r.bottom = r.top + width;
            r.right = r.left + height;
            painter.translate(r.left, r.bottom);
            painter.rotate(-90);
            painter.drawText(QRect(0, 0, width, height), flags, text);
            break;
        case 180:
            r.right = r.left + width;
            r.bottom = r.top + height;
            painter.translate(r.right, r.bottom);
            painter.rotate(180);
            painter.drawText(QRect(0, 0, width, height), flags, text);
            break;
        case 270:  // reads top to bottom
            r.bottom = r.top + width;
            r.right = r.left + height;
            painter.translate(r.right, r.top);
            painter.rotate(90);
            painter.drawText(QRect(0, 0, width, height), flags, text);
            break;
        default:  // other angles draw nothing
            break;
    }
    painter.restore();
}

void ResizeLabelToText(CVantorixTextObject& label, const CodePage& codePage) {
    if (!label.autoSize) return;
    VxRect& r = label.rect;
    QRect measured = MeasureText(label.text, MakeFont(label.font, codePage), codePage, QPoint(r.left, r.top));
    int width = measured.width(), height = measured.height();
    switch (label.angle) {
        case 90:
            r.top = r.bottom - width;
            r.right = r.left + height;
            break;
        case 270:
            r.bottom = r.top + width;
            r.right = r.left + height;
            break;
        default:
            r.right = r.left + width;
            r.bottom = r.top + height;
            break;
    }
}

void DrawPageBackground(CVantorixMenuPage& page, CDIBSMemDC& dc, const QRect& pageRect,
                        const CKXScriptDocument& document) {
    PageRuntime& runtime = RuntimeOf<PageRuntime>(page.runtime);
    if (page.backgroundType == 2 && !runtime.loaded && !page.backgroundPicture.empty()) {
        CISImageEx& picture = runtime.picture;
        if (picture.LoadFile(ScriptHostPath(document.PathBesideExe(page.backgroundPicture))) == 0 &&
            (picture.Depth() == 32 || picture.ConvertTo24() == 0) &&
            (page.pictureMode != 0 ||
             picture.Resize(static_cast<std::uint32_t>(pageRect.width()), static_cast<std::uint32_t>(pageRect.height())) == 0)) {
            runtime.loaded = true;
        }
    }
    QPainter& painter = dc.Painter();
    if (page.backgroundType != 1) painter.fillRect(pageRect, ColorOf(page.backgroundColor));
    if (page.backgroundType == 1) {
        QColor top = ColorOf(page.backgroundColor), bottom = ColorOf(page.gradientBottomColor);
        int height = pageRect.height();
        auto mulDiv = [](long a, long b, long c) { return static_cast<int>(a * b / c); };
        for (int i = 0; i < 256; ++i) {
            int y0 = pageRect.top() + mulDiv(i, height, 256), y1 = pageRect.top() + mulDiv(i + 1, height, 256);
            QColor band(top.red() + mulDiv(i, bottom.red() - top.red(), 255),
                        top.green() + mulDiv(i, bottom.green() - top.green(), 255),
                        top.blue() + mulDiv(i, bottom.blue() - top.blue(), 255));
            painter.fillRect(QRect(pageRect.left(), y0, pageRect.width(), y1 - y0), band);
        }
    }
    if (page.backgroundType != 2 || !runtime.loaded) return;
    const CISImageEx& picture = runtime.picture;
    int pw = static_cast<int>(picture.Width()), ph = static_cast<int>(picture.Height());
    if (page.pictureMode == 1) {
        int columns = pw < pageRect.width() ? pageRect.width() / pw + 1 : 1;
        int rows = ph < pageRect.height() ? pageRect.height() / ph + 1 : 1;
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                QRect tile(pageRect.left() + column * pw, pageRect.top() + row * ph, pw, ph);
                if (tile.intersects(dc.Box())) DrawPicture(picture, dc, tile.left(), tile.top());
            }
        }
    } else if (page.pictureMode == 0 || page.pictureMode == 2) {
        // Clipped to the page: the surface outside the page keeps the window colour.
        painter.save();
        DrawPicture(picture, dc, pageRect.left(), pageRect.top());
        painter.restore();
    }
}
