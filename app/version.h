#pragma once
// The program's name and version as shown to the user.

namespace app {

inline constexpr char kVersion[] = "2.2.0.0";
inline constexpr char kProgramName[] = "VlxConfigurator";

}  // namespace app
