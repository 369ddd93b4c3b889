#pragma once
// Keys as the platform's virtual key codes, which is what the pages' keyboard rules are written in.

namespace fw {

inline constexpr unsigned kVkBack = 0x08;
inline constexpr unsigned kVkTab = 0x09;
inline constexpr unsigned kVkReturn = 0x0D;
inline constexpr unsigned kVkShift = 0x10;
inline constexpr unsigned kVkControl = 0x11;
inline constexpr unsigned kVkMenu = 0x12;  // Alt
inline constexpr unsigned kVkEscape = 0x1B;
inline constexpr unsigned kVkSpace = 0x20;
inline constexpr unsigned kVkPrior = 0x21;  // Page Up
inline constexpr unsigned kVkNext = 0x22;   // Page Down
inline constexpr unsigned kVkEnd = 0x23;
inline constexpr unsigned kVkHome = 0x24;
inline constexpr unsigned kVkLeft = 0x25;
inline constexpr unsigned kVkUp = 0x26;
inline constexpr unsigned kVkRight = 0x27;
inline constexpr unsigned kVkDown = 0x28;
inline constexpr unsigned kVkInsert = 0x2D;
inline constexpr unsigned kVkDelete = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A; F1..F12 are 0x70..0x7B.
inline constexpr unsigned kVkF1 = 0x70;

// Qt key (Qt::Key value) to virtual key code; 0 when the key has none.
unsigned VirtualKeyFromQt(int qtKey);
// Virtual key code to Qt key; 0 when unknown.
int QtKeyFromVirtualKey(unsigned virtualKey);

}  // namespace fw
