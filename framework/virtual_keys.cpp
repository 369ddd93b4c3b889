#include "framework/virtual_keys.h"

#include <Qt>
#include <utility>

namespace fw {
namespace {

constexpr std::pair<int, unsigned> kKeys[] = {
    {Qt::Key_Backspace, kVkBack},  {Qt::Key_Tab, kVkTab},       {Qt::Key_Backtab, kVkTab},
    {Qt::Key_Return, kVkReturn},   {Qt::Key_Enter, kVkReturn},  {Qt::Key_Shift, kVkShift},
    {Qt::Key_Control, kVkControl}, {Qt::Key_Alt, kVkMenu},      {Qt::Key_Escape, kVkEscape},
    {Qt::Key_Space, kVkSpace},     {Qt::Key_PageUp, kVkPrior},  {Qt::Key_PageDown, kVkNext},
    {Qt::Key_End, kVkEnd},         {Qt::Key_Home, kVkHome},     {Qt::Key_Left, kVkLeft},
    {Qt::Key_Up, kVkUp},           {Qt::Key_Right, kVkRight},   {Qt::Key_Down, kVkDown},
    {Qt::Key_Insert, kVkInsert},   {Qt::Key_Delete, kVkDelete}, {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},      {Qt::Key_Print, 0x2C},       {Qt::Key_Menu, 0x5D},
    {Qt::Key_Asterisk, 0x6A},      {Qt::Key_Plus, 0xBB},        {Qt::Key_Comma, 0xBC},
    {Qt::Key_Minus, 0xBD},         {Qt::Key_Period, 0xBE},      {Qt::Key_Slash, 0xBF},
    {Qt::Key_Semicolon, 0xBA},     {Qt::Key_Backslash, 0xDC},
};

}  // namespace

unsigned VirtualKeyFromQt(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return 0x30u + static_cast<unsigned>(qtKey - Qt::Key_0);
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return 0x41u + static_cast<unsigned>(qtKey - Qt::Key_A);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return kVkF1 + static_cast<unsigned>(qtKey - Qt::Key_F1);
    }
    for (const auto& [qt, vk] : kKeys) {
        if (qt == qtKey) {
            return vk;
        }
    }
    return 0;
}

int QtKeyFromVirtualKey(unsigned virtualKey) {
    if (virtualKey >= 0x30 && virtualKey <= 0x39) {
        return Qt::Key_0 + static_cast<int>(virtualKey - 0x30);
    }
    if (virtualKey >= 0x41 && virtualKey <= 0x5A) {
        return Qt::Key_A + static_cast<int>(virtualKey - 0x41);
    }
    if (virtualKey >= kVkF1 && virtualKey < kVkF1 + 24) {
        return Qt::Key_F1 + static_cast<int>(virtualKey - kVkF1);
    }
    for (const auto& [qt, vk] : kKeys) {
        if (vk == virtualKey) {
            return qt;
        }
    }
    return 0;
}

}  // namespace fw
