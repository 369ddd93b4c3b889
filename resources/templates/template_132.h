#pragma once
// Dialog 132: the "User Methods" tab page (so far only the common page buttons).

namespace res::t132 {
inline constexpr int kTemplate = 132;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t132
