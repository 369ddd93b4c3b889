#pragma once
// Dialog 102: the main window, a tab control over the whole client area; menu 131.

namespace res::t102 {
inline constexpr int kTemplate = 102;
inline constexpr int kMenu = 131;
inline constexpr int kIcon = 128;  // the program icon
inline constexpr int kTabs = 1000;
}  // namespace res::t102

// Commands of menu 131.
namespace res::m131 {
inline constexpr int kMenu = 131;
inline constexpr int kExit = 57665;
inline constexpr int kFirstTab = 32771;  // "&1 Display"
inline constexpr int kLastTab = 32779;   // "&9 General Layout"
inline constexpr int kHelp = 57670;
inline constexpr int kAbout = 32782;
}  // namespace res::m131
