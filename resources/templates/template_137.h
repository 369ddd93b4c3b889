#pragma once
// Dialog 137: the "General/Folder Layout" tab page (so far only the common page buttons).

namespace res::t137 {
inline constexpr int kTemplate = 137;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t137
