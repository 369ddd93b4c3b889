#pragma once
// Dialog 137: the "General/Folder Layout" tab page.

namespace res::t137 {
inline constexpr int kTemplate = 137;
inline constexpr int kFullPath = 1123;
inline constexpr int kBrowse = 1125;
inline constexpr int kTree = 1124;  // check boxes added at initialisation
inline constexpr int kAddToTree = 1126;
inline constexpr int kRemoveFromTree = 1127;
inline constexpr int kMirrorPath = 1120;
inline constexpr int kArchivePath = 1121;
inline constexpr int kKestrinName = 1122;  // read-only
inline constexpr int kBackupConfig = 1156;
inline constexpr int kBackupArchive = 1157;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t137
