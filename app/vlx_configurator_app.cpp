#include "app/vlx_configurator_app.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <QtGlobal>
#include <csignal>
#include <memory>

#include "app/apply_journal.h"
#include "app/registry_file.h"
#include "app/store_errors.h"
#include "app/vlx_configurator_dlg.h"
#include "framework/icons.h"
#include "framework/text.h"
#include "framework/ui_service.h"
#include "platform/app_data.h"
#include "platform/beep.h"
#include "platform/file_system.h"
#include "registry/registry_store.h"
#include "resources/templates/template_102.h"

namespace {

volatile std::sig_atomic_t g_terminationRequested = 0;

extern "C" void RequestTermination(int) {
    g_terminationRequested = 1;
}

// SIGTERM (log-out, kill) and SIGINT (Ctrl+C in a terminal) end the program the way its close box
// does: every window closes, nothing is saved and nothing is asked. The handler only sets a flag;
// the user-interface thread looks at it a few times a second.
class TerminationWatch {
  public:
    TerminationWatch() {
        g_terminationRequested = 0;
        previousTerm_ = std::signal(SIGTERM, RequestTermination);
        previousInt_ = std::signal(SIGINT, RequestTermination);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (g_terminationRequested != 0) {
                g_terminationRequested = 0;
                QApplication::closeAllWindows();
            }
        });
        timer_.start(100);
    }
    ~TerminationWatch() {
        std::signal(SIGTERM, previousTerm_);
        std::signal(SIGINT, previousInt_);
    }
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

  private:
    QTimer timer_;
    void (*previousTerm_)(int) = SIG_DFL;
    void (*previousInt_)(int) = SIG_DFL;
};

constexpr char kNoAdministratorRights[] =
    "VlxConfigurator runs without administrator rights, so the settings in "
    "HKEY_LOCAL_MACHINE can be neither read nor changed.\n\n"
    "Close the program and start it again with \"Run as administrator\".";

}  // namespace

void InitProgramResources() {
    // The resources library is static, so its embedded files must be registered by hand.
    Q_INIT_RESOURCE(vlxconfigurator);
    fw::SetIconProvider([](int iconId) {
        if (iconId != res::t102::kIcon)
            return QIcon();
        QIcon icon;
        for (const char* size : {"16", "32", "48", "64", "128", "256"})
            icon.addFile(QStringLiteral(":/icons/icon_%1.png").arg(QLatin1String(size)));
        return icon;
    });
}

CVlxConfiguratorApp::CVlxConfiguratorApp(PageTable pages) : pages_(std::move(pages)) {}

CVlxConfiguratorApp::~CVlxConfiguratorApp() = default;

int CVlxConfiguratorApp::Run(const StartOptions& options) {
    InitProgramResources();
    // Qt's own message boxes take the application's font, not the dialogs'.
    fw::UseReadableApplicationFont();
    // Also for the message boxes and the task bar.
    QApplication::setWindowIcon(fw::LoadIcon(res::t102::kIcon));
    // Where the system cannot play a tone of its own, the window system's bell is the nearest.
    if (!platform::kBeepPlaysTone)
        platform::SetBeepHandler([](unsigned, unsigned) { QApplication::beep(); });
    if (!OpenStore(options))
        return 1;
    app::InstallRegistryCommandScope();
    TerminationWatch termination;
    // The system registry has no transactions: every save runs inside a journal of its area,
    // and a save that was cut off is offered for recovery before the pages load.
    std::unique_ptr<CApplyJournal> journal;
    if (!registry::kRegistryIsFile) {
        journal = std::make_unique<CApplyJournal>(platform::ProgramDataFolder());
        journal->OfferRecovery(pages_);
        CBasicDialogTab::SetSaveGuard(journal.get());
    }
    InitInstance();
    CBasicDialogTab::SetSaveGuard(nullptr);
    app::RemoveRegistryCommandScope();
    registry::CloseFileStore();
    return 0;
}

bool CVlxConfiguratorApp::OpenStore(const StartOptions& options) {
    if (!registry::kRegistryIsFile) {
        // The system registry is always there, but changing the program's areas in
        // HKEY_LOCAL_MACHINE takes administrator rights, which the program does not demand.
        if (!registry::CanWriteMachineSettings())
            fw::ShowMessageBox(kNoAdministratorRights, fw::MsgIcon::Exclamation,
                               fw::MsgButtons::Ok);
        return true;
    }
    // Absolute, because the directory picker changes the process's current directory and a
    // relative name would then make later writes land in another file.
    QString path = options.registryFile.isEmpty()
                       ? QString()
                       : QFileInfo(options.registryFile).absoluteFilePath();
    if (path.isEmpty()) {
        path = app::DefaultRegistryPath();
        const QString error =
            app::EnsureRegistryFile(path, QString::fromLatin1(app::kBundledSample));
        if (!error.isEmpty()) {
            fw::ShowMessageBox(fw::FromQt(error), fw::MsgIcon::Error, fw::MsgButtons::Ok);
            return false;
        }
    }
    std::string error = registry::OpenFileStore(path.toStdString());
    if (!error.empty()) {
        // The store names the file; say so ourselves should a message ever leave it out.
        const std::string file = path.toStdString();
        if (error.find(file) == std::string::npos)
            error = file + ": " + error;
        fw::ShowMessageBox("The registry file cannot be used:\n" + error +
                               "\n\nThe program ends; the file has not been changed.",
                           fw::MsgIcon::Error, fw::MsgButtons::Ok);
        return false;
    }
    for (const auto& [letter, folder] : options.drives)
        platform::SetDriveMapping(letter, folder.toStdString());
    return true;
}

bool CVlxConfiguratorApp::InitInstance() {
    auto dialog = std::make_unique<CVlxConfiguratorDlg>(pages_);
    mainWindow_ = dialog.get();
    dialog->DoModal();  // the result is not looked at
    mainWindow_ = nullptr;
    dialog.reset();
    return false;
}
