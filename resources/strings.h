#pragma once
// Texts of the main window that are not part of a dialog template.

namespace res::strings {

// Start of the message naming a page whose registry area cannot be loaded.
inline constexpr char kInvalidConfigurationPrefix[] =
    "Your registry configuration is invalid!\nThe error is in:\n";

// The registry areas each page loads, as the start-up message names them.
inline constexpr char kDisplayKeys[] =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Display";
inline constexpr char kFilterKeys[] =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Filter\n"
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\FilterList";
inline constexpr char kMethodKeys[] =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\ModulProc";
inline constexpr char kTemplateKeys[] =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Template\n"
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\TemplateList";
inline constexpr char kUpgradeKeys[] = "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Upgrade";
inline constexpr char kArchiveKeys[] = "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive";
inline constexpr char kGeneralKeys[] =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\PreDefinedTree";

// The About box's version text: the project's version, which the build defines (VLX_VERSION).
inline constexpr char kVersion[] = VLX_VERSION;

// Resource paths of the embedded files (vlxconfigurator.qrc).
inline constexpr char kSampleResource[] = ":/sample/controller.reg";
inline constexpr char kHelpResource[] = ":/help/vlxconfigurator_help.html";

}  // namespace res::strings
