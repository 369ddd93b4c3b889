#pragma once
// Dialog 139: the "History Info" tab page.

namespace res::t139 {
inline constexpr int kTemplate = 139;
inline constexpr int kCriteriaGroup = 1157;
inline constexpr int kCriteria = 1158;  // check list, unsorted
inline constexpr int kHistoryPath = 1159;
inline constexpr int kBrowse = 1160;
inline constexpr int kMaxHistoryCount = 1161;  // digits only
inline constexpr int kEnableFeedback = 1164;
inline constexpr int kDeleteRobotDirectory = 1165;
inline constexpr int kHistory = 1166;
inline constexpr int kSaveHistoryBeforeRestore = 1167;
inline constexpr int kGenerateInfoFile = 1168;
inline constexpr int kEnableDiskCounting = 1169;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t139
