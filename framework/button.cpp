#include "framework/button.h"

#include "framework/dialog_template.h"
#include "framework/text.h"

namespace fw {

Button::Button(QWidget* parent, Dialog* owner, int id, const std::string& caption, unsigned style)
    : QPushButton(ToQt(caption), parent), Control(owner, id) {
    // Enter is handled by the dialog (it presses the focused or the default button), not by Qt's
    // auto-default logic.
    setAutoDefault(false);
    setDefault((style & kDefaultButton) != 0);
    connect(this, &QPushButton::clicked, this, [this] { Report(Notify::Clicked); });
}

std::string Button::GetText() const {
    return FromQt(text());
}

void Button::SetText(const std::string& value) {
    setText(ToQt(value));
}

CheckBox::CheckBox(QWidget* parent, Dialog* owner, int id, const std::string& caption, unsigned)
    : QCheckBox(ToQt(caption), parent), Control(owner, id) {
    connect(this, &QCheckBox::clicked, this, [this] { Report(Notify::Clicked); });
}

std::string CheckBox::GetText() const {
    return FromQt(text());
}

void CheckBox::SetText(const std::string& value) {
    setText(ToQt(value));
}

void CheckBox::SetCheck(int state) {
    ProgrammaticChange change(*this);
    setChecked(state != 0);
}

}  // namespace fw
