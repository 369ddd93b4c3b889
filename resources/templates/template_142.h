#pragma once
// Dialog 142: the registry source picker "Select registry sources".

namespace res::t142 {
inline constexpr int kTemplate = 142;
inline constexpr int kManualEntry = 1168;  // edit
inline constexpr int kKeyTree = 1124;      // tree, check boxes switched on at initialisation
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
}  // namespace res::t142
