#include "framework/ui_service.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

#include "framework/dialog.h"
#include "framework/text.h"

namespace fw {
namespace {

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton;  // NoButton: Qt picks it (No in a Yes/No box)
};

const ButtonSet& QtButtons(MsgButtons buttons) {
    static const ButtonSet kOk{QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Ok};
    static const ButtonSet kOkCancel{QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
                                     QMessageBox::Cancel};
    static const ButtonSet kYesNo{QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                                  QMessageBox::NoButton};
    switch (buttons) {
        case MsgButtons::OkCancel:
            return kOkCancel;
        case MsgButtons::YesNo:
            return kYesNo;
        case MsgButtons::Ok:
            break;
    }
    return kOk;
}

// Shows real windows.
class ScreenService : public UiService {
  public:
    MsgAnswer ShowMessage(const MessageBoxRequest& request) override {
        const QPointer<QWidget> previous = QApplication::activeWindow();
        QMessageBox box(previous);
        box.setWindowTitle(ToQt(request.title));
        box.setTextFormat(Qt::PlainText);  // texts are shown as given, never as markup
        box.setText(ToQt(request.text));
        box.setIcon(QtIcon(request.icon));
        const ButtonSet& set = QtButtons(request.buttons);
        box.setStandardButtons(set.buttons);
        box.setDefaultButton(set.defaultButton);
        box.setEscapeButton(set.escapeButton);
        const int chosen = box.exec();
        // Without a window manager nothing gives the keyboard back to the window the box was
        // shown over.
        if (previous != nullptr) {
            previous->activateWindow();
        }
        switch (chosen) {
            case QMessageBox::Cancel:
                return MsgAnswer::Cancel;
            case QMessageBox::Yes:
                return MsgAnswer::Yes;
            case QMessageBox::No:
                // Yes/No boxes have no escape button: closing them answers No.
                return MsgAnswer::No;
            case QMessageBox::Ok:
                return MsgAnswer::Ok;
            default:
                return request.buttons == MsgButtons::Ok      ? MsgAnswer::Ok
                       : request.buttons == MsgButtons::YesNo ? MsgAnswer::No
                                                              : MsgAnswer::Cancel;
        }
    }

    int RunModal(Dialog& dialog) override {
        QEventLoop loop;
        QPointer<Dialog> guard(&dialog);
        const QMetaObject::Connection connection =
            QObject::connect(&dialog, &Dialog::Ended, &loop, [&loop](int) { loop.quit(); });
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        dialog.raise();
        dialog.activateWindow();
        if (!dialog.HasEnded()) {
            loop.exec(QEventLoop::DialogExec);
        }
        QObject::disconnect(connection);
        return guard ? guard->Result() : kIdCancel;
    }
};

ScreenService& Screen() {
    static ScreenService service;
    return service;
}

UiService* g_service = nullptr;

std::string& Name() {
    static std::string name = "VLX Configurator";
    return name;
}

}  // namespace

UiService& GetUiService() {
    return g_service != nullptr ? *g_service : Screen();
}

UiService* SetUiService(UiService* service) {
    UiService* previous = g_service;
    g_service = service;
    return previous;
}

void SetProgramName(const std::string& name) {
    Name() = name;
}
const std::string& ProgramName() {
    return Name();
}

MsgAnswer ShowMessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) {
    MessageBoxRequest request;
    request.text = text;
    request.title = ProgramName();
    request.icon = icon;
    request.buttons = buttons;
    return GetUiService().ShowMessage(request);
}

}  // namespace fw
