#pragma once
// Message boxes and modal runs of dialogs go through one replaceable service, so tests can record
// what was shown, answer it, and drive modal dialogs before their run returns.

#include <string>

namespace fw {

class Dialog;

enum class MsgIcon { None, Error, Information, Exclamation, Question };
enum class MsgButtons { Ok, OkCancel, YesNo };
// Values as the platform's answer codes.
enum class MsgAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageBoxRequest {
    std::string text;
    std::string title;  // the program's name (see SetProgramName)
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

class UiService {
  public:
    virtual ~UiService() = default;
    // Shows a message box and returns the button chosen.
    virtual MsgAnswer ShowMessage(const MessageBoxRequest& request) = 0;
    // Runs a dialog that is created and initialised until it ends (Dialog::EndDialog) and returns
    // its result.
    virtual int RunModal(Dialog& dialog) = 0;
};

// The active service: the installed one, or the built-in one showing real windows.
UiService& GetUiService();
// Installs a service (not owned; nullptr restores the built-in one). Returns the previous one.
UiService* SetUiService(UiService* service);

// Title of every message box; "VLX Configurator" unless the program sets another.
void SetProgramName(const std::string& name);
const std::string& ProgramName();

// Shows a message box titled with the program's name through the active service.
MsgAnswer ShowMessageBox(const std::string& text, MsgIcon icon = MsgIcon::None,
                         MsgButtons buttons = MsgButtons::Ok);

}  // namespace fw
