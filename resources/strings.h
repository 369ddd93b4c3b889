#pragma once
// Texts of the main window that are not part of a dialog template.

namespace res::strings {

// Start of the message naming a page whose registry area cannot be loaded.
inline constexpr char kInvalidConfigurationPrefix[] =
    "Your registry configuration is invalid!\nThe error is in:\n";

// The About box's version text: the project's version, which the build defines (VLX_VERSION).
inline constexpr char kVersion[] = VLX_VERSION;

// Resource paths of the embedded files (vlxconfigurator.qrc).
inline constexpr char kSampleResource[] = ":/sample/controller.reg";
inline constexpr char kHelpResource[] = ":/help/vlxconfigurator_help.html";

// The journal around "&Apply" on Windows (app/apply_journal.h). %why%, %page%, %when% and
// %folder% stand for the reason, the tab label, the time and the backup folder.
inline constexpr char kSaveNotJournalled[] =
    "The changes were not applied: the registry area could not be backed up before it is "
    "written.\n%why%\n\nNothing was changed.";
inline constexpr char kNoJournalFolder[] =
    "The system names no local application data folder for the backup.";
inline constexpr char kBackupNotKept[] =
    "The changes were applied, but the backup of the area they replaced could not be kept.\n%why%";
inline constexpr char kCutOffApplyQuestion[] =
    "The last \"Apply\" of the page \"%page%\" (started %when%) did not finish, so its registry "
    "area may be half written.\n\nPut the area back as it was before that \"Apply\"?\n\n"
    "No leaves the area as it is and keeps what it was as a backup in\n%folder%";
inline constexpr char kRecoveryFailed[] =
    "The area of the page \"%page%\" could not be put back.\n%why%\n\nThe journal is kept, and "
    "the program offers it again at its next start.";

}  // namespace res::strings
