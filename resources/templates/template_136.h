#pragma once
// Dialog 136: the "Archive Manager" tab page.

namespace res::t136 {
inline constexpr int kTemplate = 136;
// Archive paths.
inline constexpr int kPathName = 1128;  // edit "Name:"
inline constexpr int kPath = 1135;      // edit "Path:"
inline constexpr int kRemovePathName = 1156;
inline constexpr int kBrowseForPath = 1155;
inline constexpr int kPathNames = 1152;     // list "Available path names"
inline constexpr int kPathsCaption = 1154;  // caption replaced at run time
inline constexpr int kPaths = 1153;         // check list: the check marks the default
inline constexpr int kAddPath = 1126;
inline constexpr int kRemovePath = 1127;
// Archive configurations.
inline constexpr int kConfigurations = 1138;    // list
inline constexpr int kNewConfiguration = 1141;  // edit "New archive configuration"
inline constexpr int kAddConfiguration = 1140;  // "Add to available"
inline constexpr int kRemoveConfiguration = 1139;
inline constexpr int kRegistrySourcesCaption = 1142;  // caption replaced at run time
inline constexpr int kRegistrySources = 1145;         // list, horizontal scroll bar
inline constexpr int kAddRegistrySource = 1147;
inline constexpr int kRemoveRegistrySource = 1146;
inline constexpr int kFileSourcesCaption = 1143;  // caption replaced at run time
inline constexpr int kFileSources = 1144;         // check list, horizontal scroll bar
inline constexpr int kAddFileSource = 1149;
inline constexpr int kRemoveFileSource = 1148;
// Common page buttons.
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t136
