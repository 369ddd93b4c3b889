#pragma once
// Dialog 131: the "Methods" tab page (so far only the common page buttons).

namespace res::t131 {
inline constexpr int kTemplate = 131;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t131
