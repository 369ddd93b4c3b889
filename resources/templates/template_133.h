#pragma once
// Dialog 133: the "Templates/Templates list" tab page (so far only the common page buttons).

namespace res::t133 {
inline constexpr int kTemplate = 133;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t133
