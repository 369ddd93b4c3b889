#pragma once
// Dialog 139: the "History Info" tab page (so far only the common page buttons).

namespace res::t139 {
inline constexpr int kTemplate = 139;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t139
