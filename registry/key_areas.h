#pragma once
// The registry areas the program's pages own, all under HKEY_LOCAL_MACHINE. Some lie inside
// others (Archive\Config and Archive\Path in Archive), and two name the same key in other
// capitals (the installation directory is read under "Vorna", the Version area is "VORNA").

#include <array>
#include <string_view>

namespace registry {

inline constexpr std::array<std::string_view, 15> kKeyAreas{
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Display",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Filter",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\FilterList",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\ModulProc",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Template",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\TemplateList",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\PreDefinedTree",
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\BackUp",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\File",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Upgrade",
    "Software\\VORNA Roboter GmbH\\Version",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive\\Config",
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive\\Path",
    "Software\\Vorna Roboter GmbH\\Version",
};

}  // namespace registry
