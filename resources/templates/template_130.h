#pragma once
// Dialog 130: the "Filter/Filter list" tab page.

namespace res::t130 {
inline constexpr int kTemplate = 130;

inline constexpr int kLevelsGroup = 1001;
inline constexpr int kSupportedLevelsLabel = 1087;
inline constexpr int kSupportedLevels = 1053;  // sorted
inline constexpr int kDefinedLevelsLabel = 1050;
inline constexpr int kDefinedLevels = 1054;
inline constexpr int kAddLevel = 1051;
inline constexpr int kRemoveLevel = 1052;

inline constexpr int kAvailableGroup = 1002;
inline constexpr int kAllFiltersLabel = 1056;
inline constexpr int kAllFilters = 1055;
inline constexpr int kRemoveFilter = 1059;
inline constexpr int kLevelFiltersLabel = 1035;  // caption replaced at run time
inline constexpr int kLevelFilters = 1034;       // check list; the checked row is the default
inline constexpr int kMakeAvailable = 1057;
inline constexpr int kDisableForLevel = 1058;

inline constexpr int kNewFilterGroup = 1031;
inline constexpr int kNewNameLabel = 1037;
inline constexpr int kNewName = 1036;
inline constexpr int kAddFilter = 1032;

inline constexpr int kPropertiesGroup = 1007;  // caption replaced at run time
inline constexpr int kMaskLabel = 1042;
inline constexpr int kMask = 1039;
inline constexpr int kCommentLabel = 1082;
inline constexpr int kComment = 1040;
inline constexpr int kFastDeleteLabel = 1086;
inline constexpr int kFastDeleteTemplate = 1047;  // drop-down list, never stored
inline constexpr int kShowExplode = 1046;
inline constexpr int kAttributesGroup = 1038;
inline constexpr int kSystem = 1044;
inline constexpr int kHidden = 1045;
inline constexpr int kTypeLabel = 1043;
inline constexpr int kTypes = 1061;  // check list

inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t130
