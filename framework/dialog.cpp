#include "framework/dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShowEvent>
#include <sstream>
#include <stdexcept>

#include "framework/button.h"
#include "framework/check_list_box.h"
#include "framework/combo_box.h"
#include "framework/command_scope.h"
#include "framework/edit.h"
#include "framework/label.h"
#include "framework/list_box.h"
#include "framework/list_view.h"
#include "framework/tab_control.h"
#include "framework/text.h"
#include "framework/tree_view.h"
#include "framework/ui_service.h"
#include "framework/up_down.h"
#include "framework/virtual_keys.h"

namespace fw {
namespace {

class EmptyTable : public MessageTableBase {
  public:
    EmptyTable() : MessageTableBase(nullptr) {}
};

// Controls made from a template line, as children of their dialog: those configured by their
// style flags, and those that also show a caption.
template <class T>
Control* Styled(Dialog& dialog, const ControlTemplate& ct) {
    return new T(&dialog, &dialog, ct.id, ct.style);
}
template <class T>
Control* Captioned(Dialog& dialog, const ControlTemplate& ct) {
    return new T(&dialog, &dialog, ct.id, std::string(ct.caption), ct.style);
}

Control* MakeControl(Dialog& dialog, const ControlTemplate& ct) {
    switch (ct.kind) {
        case ControlKind::Label:
            return Captioned<Label>(dialog, ct);
        case ControlKind::Icon:
            return new IconLabel(&dialog, &dialog, ct.id, ct.iconId);
        case ControlKind::GroupBox:
            return new GroupBox(&dialog, &dialog, ct.id, std::string(ct.caption));
        case ControlKind::Button:
            return Captioned<Button>(dialog, ct);
        case ControlKind::CheckBox:
            return Captioned<CheckBox>(dialog, ct);
        case ControlKind::Edit:
            return Styled<Edit>(dialog, ct);
        case ControlKind::ListBox:
            return Styled<ListBox>(dialog, ct);
        case ControlKind::CheckListBox:
            return Styled<CheckListBox>(dialog, ct);
        case ControlKind::ComboBox:
            return Styled<ComboBox>(dialog, ct);
        case ControlKind::TreeView:
            return Styled<TreeView>(dialog, ct);
        case ControlKind::ListView:
            return Styled<ListView>(dialog, ct);
        case ControlKind::UpDown:
            return Styled<UpDown>(dialog, ct);
        case ControlKind::TabControl:
            return Styled<TabControl>(dialog, ct);
    }
    throw std::logic_error("dialog template line of an unknown control kind");
}

}  // namespace

Dialog::Dialog(int templateNumber) : QWidget(nullptr), templateNumber_(templateNumber) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Dialog::~Dialog() {
    // Controls are deleted with the widget, after this object's own parts: detach them first so
    // nothing they do on the way out reaches this dialog.
    ++suppressNotifications_;
    for (Control* control : controls_) {
        control->owner_ = nullptr;
    }
    for (auto& [widget, control] : keyWatched_) {
        widget->removeEventFilter(this);
    }
    keyWatched_.clear();
}

const MessageTableBase& Dialog::GetClassMessageTable() {
    static const EmptyTable table;
    return table;
}

const MessageTableBase& Dialog::GetMessageTable() const {
    return GetClassMessageTable();
}

bool Dialog::OnInitDialog() {
    return true;
}

void Dialog::ExchangeData(DataExchange&) {}

bool Dialog::PreTranslateKey(const KeyMessage&) {
    return false;
}

void Dialog::OnDefaultAction() {
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(kIdOk);
}

void Dialog::OnCancelAction() {
    EndDialog(kIdCancel);
}

void Dialog::OnClose() {
    RunClicked(kIdCancel);
}

bool Dialog::Create(int templateNumber, QWidget* parent) {
    const DialogTemplate* tmpl = FindDialogTemplate(templateNumber);
    if (tmpl == nullptr) {
        return false;
    }
    templateNumber_ = templateNumber;
    return Build(*tmpl, parent, true);
}

bool Dialog::CreateFromTemplate(const DialogTemplate& tmpl, QWidget* parent) {
    templateNumber_ = tmpl.number;
    return Build(tmpl, parent, true);
}

bool Dialog::Build(const DialogTemplate& tmpl, QWidget* parent, bool modeless) {
    if (created_) {
        return false;
    }
    if (tmpl.kind == WindowKind::Child) {
        setParent(parent, Qt::Widget);
    } else {
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
        if ((tmpl.style & kCaption) != 0) {
            flags |= Qt::WindowTitleHint;
        }
        if ((tmpl.style & kSystemMenu) != 0) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        }
        if ((tmpl.style & kMinimizeBox) != 0) {
            flags |= Qt::WindowMinimizeButtonHint;
        }
        if ((tmpl.style & kAppWindow) != 0) {
            flags = (flags & ~Qt::Dialog) | Qt::Window;
        }
        setParent(parent, flags);
        setWindowTitle(ToQt(tmpl.caption));
    }
    setFont(MakeDialogFont(tmpl.fontName, tmpl.fontPoints));
    units_ = ComputeBaseUnits(font());

    if (tmpl.menuId != 0) {
        if (const MenuTemplate* menu = FindMenuTemplate(tmpl.menuId)) {
            menuBar_ = new QMenuBar(this);
            for (const MenuPopupTemplate& popup : menu->popups) {
                QMenu* qmenu = menuBar_->addMenu(ToQt(popup.text));
                for (const MenuItemTemplate& item : popup.items) {
                    if (item.id == 0 && item.text.empty()) {
                        qmenu->addSeparator();
                        continue;
                    }
                    QAction* action = qmenu->addAction(ToQt(item.text));
                    const int id = item.id;
                    action->setData(id);
                    connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
                }
            }
            menuHeight_ = menuBar_->sizeHint().height();
            menuBar_->setGeometry(0, 0, DialogUnitsToPixelsX(tmpl.cx, units_), menuHeight_);
        }
    }

    for (const ControlTemplate& ct : tmpl.controls) {
        AddControl(ct);
    }
    const QSize client(DialogUnitsToPixelsX(tmpl.cx, units_),
                       DialogUnitsToPixelsY(tmpl.cy, units_));
    if (tmpl.kind == WindowKind::Child) {
        resize(client);
    } else {
        setFixedSize(client.width(), client.height() + menuHeight_);
    }
    created_ = true;

    if (OnInitDialog()) {
        initialFocusPending_ = true;
    }
    // Pages are created hidden: a child would otherwise appear with its parent.
    if (modeless && (tmpl.style & kVisible) != 0) {
        show();
    } else {
        hide();
    }
    return true;
}

void Dialog::AddControl(const ControlTemplate& ct) {
    Control* control = MakeControl(*this, ct);
    QWidget* widget = control->Widget();
    QRect rect = DialogUnitsToPixels(QRect(ct.x, ct.y, ct.cx, ct.cy), units_);
    if (ct.cx == 0 || ct.cy == 0) {
        if (auto* label = dynamic_cast<QLabel*>(widget)) {
            label->setWordWrap(false);  // a label sized to its text keeps it on one line
        }
        const QSize hint = widget->sizeHint();
        rect.setSize(QSize(ct.cx == 0 ? hint.width() : rect.width(),
                           ct.cy == 0 ? hint.height() : rect.height()));
    }
    if (ct.kind == ControlKind::ComboBox) {
        // The template gives the height of the opened list; the closed box has its natural height.
        rect.setHeight(widget->sizeHint().height());
    }
    if (auto* list = dynamic_cast<ListBox*>(control)) {
        rect.setHeight(list->WholeRowsHeight(rect.height()));
    }
    rect.translate(0, menuHeight_);
    widget->setGeometry(rect);
    if ((ct.style & kNeverFocus) != 0) {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    if ((ct.style & kDisabled) != 0) {
        widget->setEnabled(false);
    }
    if (ct.kind == ControlKind::GroupBox) {
        widget->lower();  // frames lie behind the controls they enclose
    }
    widget->setVisible((ct.style & kInvisible) == 0);
    controls_.push_back(control);
    WatchKeys(widget, control);
}

void Dialog::WatchKeys(QWidget* widget, Control* control) {
    widget->installEventFilter(this);
    keyWatched_[widget] = control;
}

int Dialog::DoModal(QWidget* owner) {
    if (!created_) {
        const DialogTemplate* tmpl = FindDialogTemplate(templateNumber_);
        if (tmpl == nullptr) {
            return -1;
        }
        if (!Build(*tmpl, owner, false)) {
            return -1;
        }
    } else if (OnInitDialog()) {
        initialFocusPending_ = true;
    }
    if (owner != nullptr && isWindow()) {
        const QRect area = owner->window()->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    ended_ = false;
    result_ = 0;
    modalRunning_ = true;
    const int result = GetUiService().RunModal(*this);
    modalRunning_ = false;
    hide();
    // The box may have no parent window; hand the keyboard back to the window it was run from.
    if (owner != nullptr) {
        owner->window()->activateWindow();
    }
    return result;
}

void Dialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (modalRunning_) {
        hide();
    }
    emit Ended(result);
}

Control* Dialog::FindControl(int id) const {
    if (id == kNoId) {
        return nullptr;
    }
    for (Control* control : controls_) {
        if (control->Id() == id) {
            return control;
        }
    }
    return nullptr;
}

void Dialog::ThrowMissingControl(int id) const {
    std::ostringstream message;
    message << "dialog template " << templateNumber_ << " has no control " << id
            << " of the requested kind";
    throw std::logic_error(message.str());
}

std::vector<int> Dialog::ControlIds() const {
    std::vector<int> ids;
    for (Control* control : controls_) {
        if (control->Id() != kNoId) {
            ids.push_back(control->Id());
        }
    }
    return ids;
}

std::string Dialog::GetItemText(int id) const {
    const Control* control = FindControl(id);
    return control != nullptr ? control->GetText() : std::string();
}

void Dialog::SetItemText(int id, const std::string& text) {
    if (Control* control = FindControl(id)) {
        control->SetText(text);
    }
}

void Dialog::EnableItem(int id, bool enable) {
    if (Control* control = FindControl(id)) {
        control->Widget()->setEnabled(enable);
    }
}

void Dialog::FocusItem(int id) {
    if (Control* control = FindControl(id)) {
        control->Widget()->setFocus(Qt::OtherFocusReason);
    }
}

int Dialog::FocusedControlId() const {
    const QWidget* focus = QApplication::focusWidget();
    for (Control* control : controls_) {
        QWidget* widget = control->Widget();
        if (focus != nullptr && (focus == widget || widget->isAncestorOf(focus))) {
            return control->Id();
        }
    }
    return kNoId;
}

void Dialog::FocusFirstControl() {
    for (Control* control : controls_) {
        QWidget* widget = control->Widget();
        if (widget->isEnabled() && widget->isVisibleTo(this) &&
            widget->focusPolicy() != Qt::NoFocus) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool Dialog::UpdateData(bool fromControls) {
    DataExchange exchange(*this, fromControls ? DataExchange::Direction::FromControls
                                              : DataExchange::Direction::ToControls);
    ++suppressNotifications_;
    ExchangeData(exchange);
    --suppressNotifications_;
    if (exchange.Failed()) {
        if (Control* control = FindControl(exchange.FailedControl())) {
            control->Widget()->setFocus(Qt::OtherFocusReason);
            if (auto* edit = dynamic_cast<Edit*>(control)) {
                edit->selectAll();
            }
        }
        return false;
    }
    return true;
}

void Dialog::RunClicked(int id) {
    Notification notification;
    notification.controlId = id;
    notification.code = Notify::Clicked;
    if (GetMessageTable().Dispatch(*this, notification)) {
        return;
    }
    if (id == kIdOk) {
        OnDefaultAction();
    } else if (id == kIdCancel) {
        OnCancelAction();
    }
}

bool Dialog::SendCommand(int id) {
    const bool handled =
        GetMessageTable().Handles(id, Notify::Clicked) || id == kIdOk || id == kIdCancel;
    RunCommand([this, id] { RunClicked(id); });
    return handled;
}

void Dialog::RequestClose() {
    RunCommand([this] { OnClose(); });
}

void Dialog::DispatchNotification(Notification& notification) {
    if (suppressNotifications_ > 0) {
        return;
    }
    RunCommand([this, &notification] {
        if (notification.code == Notify::Clicked) {
            RunClicked(notification.controlId);
        } else {
            GetMessageTable().Dispatch(*this, notification);
        }
    });
}

QRect Dialog::MapDialogRect(const QRect& dialogUnits) const {
    return DialogUnitsToPixels(dialogUnits, units_);
}

QRect Dialog::ClientArea() const {
    return QRect(0, menuHeight_, width(), height() - menuHeight_);
}

void Dialog::HandleEnter(QWidget* target) {
    // The focused button is pressed; otherwise the default button; otherwise command 1.
    if (auto* button = dynamic_cast<Button*>(target)) {
        if (button->isEnabled()) {
            button->click();
            return;
        }
    }
    for (Control* control : controls_) {
        auto* button = dynamic_cast<Button*>(control);
        if (button != nullptr && button->IsDefaultButton()) {
            if (button->isEnabled() && button->isVisible()) {
                button->click();
            }
            return;
        }
    }
    RunCommand([this] { RunClicked(kIdOk); });
}

bool Dialog::HandleKey(QKeyEvent* event, int controlId) {
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->isAutoRepeat()) {
        return false;  // the platform repeats presses only
    }
    KeyMessage message;
    message.action = press ? KeyAction::Press : KeyAction::Release;
    message.controlId = controlId;
    message.virtualKey = VirtualKeyFromQt(event->key());
    message.autoRepeat = event->isAutoRepeat();
    message.shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    message.control = (event->modifiers() & Qt::ControlModifier) != 0;
    message.alt = (event->modifiers() & Qt::AltModifier) != 0;
    bool consumed = false;
    RunCommand([&] { consumed = PreTranslateKey(message); });
    return consumed;
}

bool Dialog::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched != this) {
        if (event == keyInFlight_) {
            return false;  // our own re-delivery below
        }
        const auto found = keyWatched_.find(watched);
        if (found == keyWatched_.end() || found->second == nullptr) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        auto* target = static_cast<QWidget*>(watched);
        if (HandleKey(key, found->second->Id())) {
            key->accept();
            return true;
        }
        // Deliver it to the control now, so that when the control leaves it to its parents this
        // dialog can tell a key passed on by a control from one aimed at the dialog itself.
        QEvent* outer = keyInFlight_;
        QWidget* outerTarget = keyTarget_;
        keyInFlight_ = event;
        keyTarget_ = target;
        QCoreApplication::sendEvent(watched, event);
        keyInFlight_ = outer;
        keyTarget_ = outerTarget;
        key->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool Dialog::event(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        QWidget* target = nullptr;
        if (event == keyInFlight_) {
            target = keyTarget_;  // passed on by one of our controls, already pre-translated
        } else if (HandleKey(key, kNoId)) {
            key->accept();
            return true;
        }
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (type == QEvent::KeyPress && modifiers == Qt::NoModifier) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                HandleEnter(target);
                key->accept();
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                RunCommand([this] { RunClicked(kIdCancel); });
                key->accept();
                return true;
            }
        }
    }
    return QWidget::event(event);
}

void Dialog::closeEvent(QCloseEvent* event) {
    // The window never closes by itself: the close request goes to OnClose, which decides.
    event->ignore();
    if (isWindow()) {
        RequestClose();
    }
}

void Dialog::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // A dialog given the focus passes it on to its first control, as on the platform.
    FocusFirstControl();
}

void Dialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (initialFocusPending_) {
        initialFocusPending_ = false;
        FocusFirstControl();
    }
}

}  // namespace fw
