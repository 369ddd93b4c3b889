#pragma once
// Dialog 135: the "Upgrade Manager" tab page.

namespace res::t135 {
inline constexpr int kTemplate = 135;
inline constexpr int kSystemTypes = 1130;  // sorted
inline constexpr int kFilesGroup = 1129;   // caption set at run time
inline constexpr int kFileName = 1133;
inline constexpr int kFileVersion = 1134;
inline constexpr int kAddFile = 1132;
inline constexpr int kRemoveFile = 1006;
inline constexpr int kFiles = 1131;  // report view: Name, Version
inline constexpr int kPathName = 1138;
inline constexpr int kPath = 1139;
inline constexpr int kBrowse = 1140;
inline constexpr int kAddPath = 1135;
inline constexpr int kPaths = 1137;  // report view: Name, Full path
inline constexpr int kRemovePath = 1007;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t135
