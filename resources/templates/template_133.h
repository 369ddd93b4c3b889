#pragma once
// Dialog 133: the "Templates/Templates list" tab page.

namespace res::t133 {
inline constexpr int kTemplate = 133;
// Directories list.
inline constexpr int kDirectoriesGroup = 1068;
inline constexpr int kDirectoryPathLabel = 1069;
inline constexpr int kDirectoryPath = 1091;  // a directory to add
inline constexpr int kBrowseDirectory = 1092;
inline constexpr int kAddDirectory = 1070;
inline constexpr int kDirectories = 1090;  // horizontal scroll
inline constexpr int kRemoveDirectory = 1071;
// Available templates.
inline constexpr int kTemplatesGroup = 1072;
inline constexpr int kTemplates = 1093;  // all available
inline constexpr int kRemoveTemplate = 1073;
inline constexpr int kDirectoryTemplatesLabel = 1075;
inline constexpr int kSelectedDirectory = 1078;  // caption replaced at run time
inline constexpr int kDirectoryTemplates = 1094;
inline constexpr int kEnableForDirectory = 1076;
inline constexpr int kDisableForDirectory = 1077;
// Define new template.
inline constexpr int kNewTemplateGroup = 1031;
inline constexpr int kNewNameLabel = 1079;
inline constexpr int kNewName = 1080;
inline constexpr int kAddTemplate = 1081;
// Properties for template.
inline constexpr int kPropertiesGroup = 1088;  // caption replaced at run time
inline constexpr int kMaskLabel = 1042;
inline constexpr int kMask = 1039;
inline constexpr int kCommentLabel = 1082;
inline constexpr int kComment = 1040;
inline constexpr int kFullPathLabel = 1083;
inline constexpr int kFullPath = 1041;
inline constexpr int kBrowseFullPath = 1089;
inline constexpr int kUsersGroup = 1085;
inline constexpr int kDemo = 1046;
inline constexpr int kUser = 1047;
inline constexpr int kExpert = 1048;
inline constexpr int kAdmin = 1049;
inline constexpr int kFastCreate = 1084;
// Common page buttons.
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t133
