#pragma once

#include <QRect>
#include <string>

class QPainter;
class CodePage;

// The placeholder drawn for an object whose content cannot be shown: a white box with an icon
// of the object's kind and a text naming it and its file.
class CKXBrokenLinkPainter {
public:
    // reason: 0 not installed, 1 file not located (Flash and video objects).
    void SetTarget(int typeCode, const QRect& rect, const std::string& text, int reason = 1);
    void Paint(QPainter& painter, const CodePage& codePage) const;

private:
    int typeCode = 3;
    QRect rect{0, 0, 100, 100};
    std::string text;
    int iconIndex = 1;
};
