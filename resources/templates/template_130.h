#pragma once
// Dialog 130: the "Filter/Filter list" tab page (so far only the common page buttons).

namespace res::t130 {
inline constexpr int kTemplate = 130;
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::t130
