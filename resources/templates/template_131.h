#pragma once
// Dialog 131: the "Methods" tab page.

namespace res::t131 {
inline constexpr int kTemplate = 131;
inline constexpr int kMethodsGroup = 1104;
inline constexpr int kMethods = 1114;
inline constexpr int kPropertiesGroup = 1007;   // caption replaced at run time
inline constexpr int kSystemConditions = 1110;  // check list
inline constexpr int kItemConditionsLabel = 1109;
inline constexpr int kItemConditions = 1111;  // check list
inline constexpr int kAskBeforeLabel = 1113;
inline constexpr int kAskBefore = 1112;  // check list
inline constexpr int kActiveLabel = 1118;
inline constexpr int kActive = 1116;  // check list
inline constexpr int kStatus = 1115;  // sunken status line
inline constexpr int kNumber = 1117;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t131
