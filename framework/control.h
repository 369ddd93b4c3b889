#pragma once
// Common part of every dialog control: its id, its owning dialog and the rule that only user
// actions are reported. Every control class is a Qt widget that also derives from fw::Control.

#include <string>

#include "framework/notification.h"

class QWidget;

namespace fw {

class Dialog;

class Control {
  public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int Id() const { return id_; }
    Dialog* Owner() const { return owner_; }
    virtual QWidget* Widget() = 0;

    // The control's caption or text (labels, group boxes, buttons, check boxes, edits). Setting it
    // never notifies. Lists return their selected row's text.
    virtual std::string GetText() const = 0;
    virtual void SetText(const std::string& text) = 0;

  protected:
    Control(Dialog* owner, int id) : owner_(owner), id_(id) {}

    // Reports a user action to the owner's message table (nothing while the program itself is
    // changing the control, see ProgrammaticChange).
    void Report(Notification& notification);
    void Report(Notify code);
    // A list notification about `row` (-1 = none).
    void ReportRow(Notify code, int row);

    // Marks a change made by the program: Qt signals raised meanwhile are not reported.
    class ProgrammaticChange {
      public:
        explicit ProgrammaticChange(Control& control) : control_(control) {
            ++control_.programmatic_;
        }
        ~ProgrammaticChange() { --control_.programmatic_; }
        ProgrammaticChange(const ProgrammaticChange&) = delete;
        ProgrammaticChange& operator=(const ProgrammaticChange&) = delete;

      private:
        Control& control_;
    };
    bool InProgrammaticChange() const { return programmatic_ > 0; }

  private:
    friend class Dialog;  // detaches its controls when it is destroyed

    Dialog* owner_;
    int id_;
    int programmatic_ = 0;
};

}  // namespace fw
