#pragma once
// Dialog 129: the "Display" tab page.

namespace res::t129 {
inline constexpr int kTemplate = 129;
inline constexpr int kLevelsGroup = 1001;
inline constexpr int kSupportedLevelsLabel = 1013;
inline constexpr int kSupportedLevels = 1002;  // sorted
inline constexpr int kDefinedLevelsLabel = 1004;
inline constexpr int kDefinedLevels = 1003;
inline constexpr int kAddLevel = 1006;
inline constexpr int kRemoveLevel = 1005;
inline constexpr int kPropertiesGroup = 1007;  // caption replaced at run time
inline constexpr int kSupportedColumnsLabel = 1014;
inline constexpr int kSupportedColumns = 1008;  // sorted
inline constexpr int kDefinedColumnsLabel = 1009;
inline constexpr int kDefinedColumns = 1010;
inline constexpr int kAddColumn = 1012;
inline constexpr int kRemoveColumn = 1011;
inline constexpr int kMoveColumn = 1022;  // up-down
inline constexpr int kSortColumn = 1017;  // drop-down list
inline constexpr int kSortDescending = 1018;
inline constexpr int kColumnWidth = 1020;  // digits only
inline constexpr int kVolumes = 1023;      // check list
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t129
