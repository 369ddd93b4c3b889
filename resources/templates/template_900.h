#pragma once
// Framework test dialogs: 900 a page-like child with one control of each kind, 901 a modal picker,
// 902 a main-window-like popup with a tab control and menu 902. Used by the framework's tests only.

namespace res::t900 {
inline constexpr int kTemplate = 900;
inline constexpr int kGroup = 1001;
inline constexpr int kSortedList = 1002;
inline constexpr int kPlainList = 1003;
inline constexpr int kCheckList = 1004;
inline constexpr int kCombo = 1005;
inline constexpr int kNumberEdit = 1006;  // digits only
inline constexpr int kTextEdit = 1007;
inline constexpr int kCheck = 1008;
inline constexpr int kAddButton = 1009;
inline constexpr int kTree = 1010;
inline constexpr int kReport = 1011;
inline constexpr int kUpDown = 1012;
inline constexpr int kCaption = 1013;
inline constexpr int kSortedCombo = 1014;
inline constexpr int kApply = 1015;
inline constexpr int kSignedEdit = 1017;
}  // namespace res::t900

namespace res::t901 {
inline constexpr int kTemplate = 901;
inline constexpr int kName = 1101;
inline constexpr int kList = 1102;
// OK and Cancel are fw::kIdOk and fw::kIdCancel.
}  // namespace res::t901

namespace res::t902 {
inline constexpr int kTemplate = 902;
inline constexpr int kMenu = 902;
inline constexpr int kTabs = 1000;
inline constexpr int kExitCommand = 57665;
inline constexpr int kFirstTabCommand = 32771;
inline constexpr int kLastTabCommand = 32773;
inline constexpr int kAboutCommand = 32782;
}  // namespace res::t902
