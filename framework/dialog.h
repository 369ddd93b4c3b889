#pragma once
// A dialog built from a declarative template: modeless as a child window (tab pages) or modal
// through the UI service (pickers, the main window). Controls are found by numeric id; user actions
// reach member handlers through the class's message table; keys meant for controls pass through
// PreTranslateKey first.

#include <QRect>
#include <QWidget>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/control.h"
#include "framework/data_exchange.h"
#include "framework/dialog_template.h"
#include "framework/dialog_units.h"
#include "framework/message_table.h"
#include "framework/notification.h"

class QMenuBar;

namespace fw {

enum class KeyAction { Press, Release };

// A key event meant for one of the dialog's controls, seen before normal handling.
struct KeyMessage {
    KeyAction action = KeyAction::Press;
    int controlId = kNoId;    // control the key is meant for; kNoId for the dialog itself
    unsigned virtualKey = 0;  // platform virtual key code (see virtual_keys.h); 0 if none
    bool autoRepeat = false;  // a press repeated by holding the key
    bool shift = false, control = false, alt = false;
};

class Dialog : public QWidget {
    Q_OBJECT
  public:
    // A dialog object without a window; `templateNumber` is used by DoModal and Create(parent).
    explicit Dialog(int templateNumber = 0);
    ~Dialog() override;

    int TemplateNumber() const { return templateNumber_; }

    // Creates the window from template `templateNumber` as a child of `parent` (hidden unless the
    // template says visible), creates its controls and runs OnInitDialog. False if the template is
    // unknown or the window exists already.
    bool Create(int templateNumber, QWidget* parent);
    bool Create(QWidget* parent) { return Create(templateNumber_, parent); }
    // Builds the window from a template given directly (tests, generated dialogs).
    bool CreateFromTemplate(const DialogTemplate& tmpl, QWidget* parent);
    bool IsCreated() const { return created_; }

    // Creates the window as a top-level dialog (owned by `owner` for placement), initialises it and
    // runs it through the UI service until EndDialog. Returns the EndDialog result, -1 if the
    // template is unknown. Calling it again re-runs OnInitDialog on the same controls.
    int DoModal(QWidget* owner = nullptr);
    // Ends a modal run with `result` and hides the window.
    void EndDialog(int result);
    bool IsModalRunning() const { return modalRunning_; }
    bool HasEnded() const { return ended_; }
    int Result() const { return result_; }

    // Controls by id. Find returns null when there is no control of that id and type; Item throws
    // std::logic_error, naming the dialog template and id.
    Control* FindControl(int id) const;
    template <class T>
    T* Find(int id) const {
        return dynamic_cast<T*>(FindControl(id));
    }
    template <class T>
    T& Item(int id) const {
        T* control = Find<T>(id);
        if (control == nullptr) {
            ThrowMissingControl(id);
        }
        return *control;
    }
    std::vector<int> ControlIds() const;  // in template order, without kNoId

    // Text of a control (captions, edits); empty for unknown ids. Setting never notifies.
    std::string GetItemText(int id) const;
    void SetItemText(int id, const std::string& text);
    void EnableItem(int id, bool enable);
    void FocusItem(int id);
    // Id of the control that has the keyboard focus (kNoId when none of this dialog's has it).
    int FocusedControlId() const;
    // Gives the focus to the first enabled control that accepts it.
    void FocusFirstControl();

    // true: controls -> fields (validating); false: fields -> controls. Notifications are
    // suppressed meanwhile. Returns false when validation failed (message box already shown, the
    // failing control focused).
    bool UpdateData(bool fromControls = true);

    // Runs the handler of command `id` as if the user chose it (menu command, button click),
    // inside the command scope. True if a handler (or the default / cancel action) ran.
    bool SendCommand(int id);
    // The close request (close box, or another window asking this one to close): runs OnClose
    // inside the command scope.
    void RequestClose();

    // Dialog units of this dialog's font.
    const BaseUnits& Units() const { return units_; }
    QRect MapDialogRect(const QRect& dialogUnits) const;
    // Area below the menu bar, in this widget's coordinates.
    QRect ClientArea() const;
    QMenuBar* MenuBar() const { return menuBar_; }

    // Called by controls for user actions; runs the message table (inside the command scope).
    void DispatchNotification(Notification& notification);

    // The message table of fw::Dialog itself (empty); derived classes chain to it or to their
    // base's table.
    static const MessageTableBase& GetClassMessageTable();

  signals:
    // Emitted by EndDialog.
    void Ended(int result);

  protected:
    // This class's message table; override in every class that maps handlers.
    virtual const MessageTableBase& GetMessageTable() const;
    // After the controls exist. Return true to let the framework focus the first control.
    virtual bool OnInitDialog();
    // Field <-> control transfers; the base does nothing.
    virtual void ExchangeData(DataExchange& exchange);
    // Sees key presses and releases meant for the dialog's controls before they get them. Return
    // true to consume the key. Runs inside the command scope. Keys that a child dialog (a page)
    // and its control leave unhandled reach the enclosing dialog too, with kNoId; Enter and Esc
    // stop at the innermost dialog.
    virtual bool PreTranslateKey(const KeyMessage& message);
    // Enter without a button to press / button 1 without a handler: reads the controls back and,
    // if that succeeds, ends a modal run with kIdOk.
    virtual void OnDefaultAction();
    // Esc / button 2 without a handler: ends a modal run with kIdCancel.
    virtual void OnCancelAction();
    // Close box: as Esc.
    virtual void OnClose();

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    bool Build(const DialogTemplate& tmpl, QWidget* parent, bool asChild);
    void AddControl(const ControlTemplate& ct);
    void WatchKeys(QWidget* widget, Control* control);
    bool HandleKey(QKeyEvent* event, int controlId);
    void HandleEnter(QWidget* target);
    void RunClicked(int id);
    [[noreturn]] void ThrowMissingControl(int id) const;

    int templateNumber_;
    bool created_ = false;
    bool modalRunning_ = false;
    bool ended_ = false;
    int result_ = 0;
    bool initialFocusPending_ = false;
    int suppressNotifications_ = 0;
    BaseUnits units_;
    int menuHeight_ = 0;
    QMenuBar* menuBar_ = nullptr;
    std::vector<Control*> controls_;           // template order, owned by Qt parenting
    std::map<QObject*, Control*> keyWatched_;  // widget -> control it belongs to
    QEvent* keyInFlight_ = nullptr;            // a control's key event being delivered
    QWidget* keyTarget_ = nullptr;             // its receiver
};

}  // namespace fw
