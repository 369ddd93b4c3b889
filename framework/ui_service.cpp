#include "framework/ui_service.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

#include "framework/dialog.h"
#include "framework/text.h"

namespace fw {
namespace {

// Shows real windows.
class ScreenService : public UiService {
  public:
    MsgAnswer ShowMessage(const MessageBoxRequest& request) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(ToQt(request.title));
        box.setTextFormat(Qt::PlainText);  // texts are shown as given, never as markup
        box.setText(ToQt(request.text));
        switch (request.icon) {
            case MsgIcon::None:
                box.setIcon(QMessageBox::NoIcon);
                break;
            case MsgIcon::Error:
                box.setIcon(QMessageBox::Critical);
                break;
            case MsgIcon::Information:
                box.setIcon(QMessageBox::Information);
                break;
            case MsgIcon::Exclamation:
                box.setIcon(QMessageBox::Warning);
                break;
            case MsgIcon::Question:
                box.setIcon(QMessageBox::Question);
                break;
        }
        switch (request.buttons) {
            case MsgButtons::Ok:
                box.setStandardButtons(QMessageBox::Ok);
                box.setEscapeButton(QMessageBox::Ok);
                break;
            case MsgButtons::OkCancel:
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                box.setDefaultButton(QMessageBox::Ok);
                box.setEscapeButton(QMessageBox::Cancel);
                break;
            case MsgButtons::YesNo:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                box.setDefaultButton(QMessageBox::Yes);
                break;
        }
        const int chosen = box.exec();
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
