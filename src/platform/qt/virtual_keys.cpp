#include "platform/qt/virtual_keys.h"

#include <Qt>

#include <utility>

namespace {

constexpr std::pair<int, int> keys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},    {Qt::Key_Control, 17},   {Qt::Key_Alt, 18},    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},    {Qt::Key_Space, 32},  {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},       {Qt::Key_Home, 36},   {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},     {Qt::Key_Down, 40},   {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},   {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},  {Qt::Key_Slash, 111},
};

}  // namespace

int VirtualKeyOfQtKey(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
    for (auto [qt, vk] : keys) {
        if (qt == qtKey) return vk;
    }
    return 0;
}

int QtKeyOfVirtualKey(int virtualKey) {
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) return virtualKey;
    if (virtualKey >= 112 && virtualKey <= 135) return Qt::Key_F1 + (virtualKey - 112);
    for (auto [qt, vk] : keys) {
        if (vk == virtualKey) return qt;
    }
    return 0;
}
