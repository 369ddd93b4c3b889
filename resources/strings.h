#pragma once
// Texts of the main window that are not part of a dialog template.

namespace res::strings {

// Start of the message naming a page whose registry area cannot be loaded.
inline constexpr char kInvalidConfigurationPrefix[] =
    "Your registry configuration is invalid!\nThe error is in:\n";

// The About box's version text.
inline constexpr char kVersion[] = "2.2.0.0";

// Resource paths of the embedded files (vlxconfigurator.qrc).
inline constexpr char kSampleResource[] = ":/sample/controller.reg";
inline constexpr char kHelpResource[] = ":/help/vlxconfigurator_help.html";

}  // namespace res::strings
