#pragma once
// UI half of the test kit: act on a dialog's controls by id as a user would (through real Qt
// mouse and key events where practical), record and answer message boxes, drive modal dialogs.
//
// Every action fails the current test (gtest ADD_FAILURE) when the control is missing or of the
// wrong kind, or the row / item does not exist, and then does nothing.

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/framework.h"

namespace uikit {

// Creates the QApplication for tests that do not link vlx_ui_test_main (offscreen platform unless
// QT_QPA_PLATFORM is set). Safe to call repeatedly.
void EnsureApplication();

// Lets queued events run (deferred deletes, repaints).
void ProcessEvents();

// --- Buttons, check boxes, menus --------------------------------------------------------------
// Mouse click on a button or check box.
void Click(fw::Dialog& dialog, int id);
// Chooses menu command `id` from the dialog's menu bar (as a click on the menu item).
void ChooseMenuCommand(fw::Dialog& dialog, int commandId);

// --- Lists -----------------------------------------------------------------------------------
// Mouse click on a row of a list box, check list box or list view (selects it).
void SelectRow(fw::Dialog& dialog, int id, int row);
// Selects the row whose text equals `text` (exact; list view: column 0).
void SelectRowByText(fw::Dialog& dialog, int id, const std::string& text);
void DoubleClickRow(fw::Dialog& dialog, int id, int row);
// Mouse click on the check mark of a check list box row (selects the row, toggles the mark).
void ToggleCheck(fw::Dialog& dialog, int id, int row);
// Rows of a list box / check list box / combo box / list view (column 0), in order.
std::vector<std::string> Rows(fw::Dialog& dialog, int id);

// Check marks of a check list box, row by row.
std::vector<bool> Checks(fw::Dialog& dialog, int id);

// --- Combo boxes -----------------------------------------------------------------------------
// Chooses an entry of a drop-down list as the user does (SelChange if it changes, then SelAccept).
void ChooseComboEntry(fw::Dialog& dialog, int id, int row);
void ChooseComboText(fw::Dialog& dialog, int id, const std::string& text);

// --- Edits -----------------------------------------------------------------------------------
// Focuses the edit, selects all and types `text` key by key (replacing the old text; an empty
// text deletes it). Typing goes through the edit's input rules (digits only, length limit).
void TypeText(fw::Dialog& dialog, int id, const std::string& text);
// Types `text` at the end of the current text.
void AppendText(fw::Dialog& dialog, int id, const std::string& text);
// Types characters as the keyboard delivers them at the end of the current text (any character,
// also those the program's code page has no byte for).
void TypeCharacters(fw::Dialog& dialog, int id, const QString& text);

// --- Keys ------------------------------------------------------------------------------------
// Key press / release / both in a control (virtual key code, see framework/virtual_keys.h), as
// the keyboard delivers them: the dialog's PreTranslateKey sees them first.
void PressKey(fw::Dialog& dialog, int id, unsigned virtualKey);
void ReleaseKey(fw::Dialog& dialog, int id, unsigned virtualKey);
void TapKey(fw::Dialog& dialog, int id, unsigned virtualKey);
// The same on the dialog window itself (no control).
void TapDialogKey(fw::Dialog& dialog, unsigned virtualKey);

// --- Trees -----------------------------------------------------------------------------------
// Finds an item by its path of texts from the top level (case-sensitive), null if absent.
fw::TreeItem FindTreeItem(fw::Dialog& dialog, int id, const std::vector<std::string>& path);
// Every item of a tree in display order (an item, its children, its next sibling) as the path of
// texts from the top level joined by '\\', followed by " [x]" when checked (trees with check
// boxes).
std::vector<std::string> TreePaths(fw::Dialog& dialog, int id);
// Mouse click on the item's text (selects it).
void SelectTreeItem(fw::Dialog& dialog, int id, fw::TreeItem item);
// Mouse click on the item's check box (toggles it) unless it already has state `checked`.
void SetTreeCheck(fw::Dialog& dialog, int id, fw::TreeItem item, bool checked);

// --- Up-down, tabs ---------------------------------------------------------------------------
// Mouse click on the upper (delta -1) or lower (delta +1) arrow.
void ClickUpDown(fw::Dialog& dialog, int id, bool upper);
// Mouse click on tab `index`.
void ClickTab(fw::Dialog& dialog, int id, int index);

// --- Layout ------------------------------------------------------------------------------------
// Whether the list box `id` (with at least one row) lies where its template rectangle
// `dialogUnits` puts it: same place and width, its height cut to whole rows, as the platform
// does, so it is never taller and never a whole row shorter. Reports the difference.
void ExpectListBoxAt(fw::Dialog& dialog, int id, const QRect& dialogUnits);

// --- Message boxes and modal dialogs -----------------------------------------------------------
struct ShownMessage {
    std::string text;
    std::string title;
    fw::MsgIcon icon = fw::MsgIcon::None;
    fw::MsgButtons buttons = fw::MsgButtons::Ok;
};

// Installs itself as the UI service for its lifetime. Records every message box and answers it
// from the queue; a box with no queued answer fails the test (unless a default answer is set) and
// is answered OK / No. Modal runs call the next queued driver with the running dialog; the driver
// acts on it and must end it (for instance Click(dialog, fw::kIdOk)). A run with no driver, or a
// driver that does not end the dialog, fails the test and returns kIdCancel. Answers or drivers
// still queued when the recorder goes away fail the test too (an expected box never came).
class UiRecorder : public fw::UiService {
  public:
    UiRecorder();
    ~UiRecorder() override;
    UiRecorder(const UiRecorder&) = delete;
    UiRecorder& operator=(const UiRecorder&) = delete;

    void Answer(fw::MsgAnswer answer) { answers_.push_back(answer); }
    // Answers every box that finds the queue empty with `answer` instead of failing.
    void SetDefaultAnswer(std::optional<fw::MsgAnswer> answer) { defaultAnswer_ = answer; }

    using ModalDriver = std::function<void(fw::Dialog& dialog)>;
    void OnModal(ModalDriver driver) { drivers_.push_back(std::move(driver)); }

    const std::vector<ShownMessage>& Messages() const { return messages_; }
    std::vector<std::string> MessageTexts() const;
    void ClearMessages() { messages_.clear(); }
    // Template numbers of the dialogs run modally, in order.
    const std::vector<int>& ModalRuns() const { return modalRuns_; }
    size_t PendingAnswers() const { return answers_.size(); }
    size_t PendingDrivers() const { return drivers_.size(); }

    fw::MsgAnswer ShowMessage(const fw::MessageBoxRequest& request) override;
    int RunModal(fw::Dialog& dialog) override;

  private:
    fw::UiService* previous_;
    std::deque<fw::MsgAnswer> answers_;
    std::optional<fw::MsgAnswer> defaultAnswer_;
    std::deque<ModalDriver> drivers_;
    std::vector<ShownMessage> messages_;
    std::vector<int> modalRuns_;
};

}  // namespace uikit
