#pragma once
// Dialog 136: the "Archive Manager" tab page (so far only the common page buttons).

namespace res::t136 {
inline constexpr int kTemplate = 136;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t136
