#include "app/headless_commands.h"

#include <QFileInfo>
#include <QSaveFile>
#include <vector>

#include "app/registry_file.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "framework/dialog.h"
#include "framework/text.h"
#include "framework/ui_service.h"
#include "registry/area_export.h"
#include "registry/registry_store.h"
#include "resources/strings.h"

namespace app {

namespace {

// Message boxes are collected instead of shown, and the main dialog's modal run returns at once:
// its initialisation has created and loaded the pages by then, and no window is ever shown.
class CollectingUi : public fw::UiService {
  public:
    CollectingUi() : previous_(fw::SetUiService(this)) {}
    ~CollectingUi() override { fw::SetUiService(previous_); }
    CollectingUi(const CollectingUi&) = delete;
    CollectingUi& operator=(const CollectingUi&) = delete;

    fw::MsgAnswer ShowMessage(const fw::MessageBoxRequest& request) override {
        messages_.push_back(request.text);
        return request.buttons == fw::MsgButtons::YesNo ? fw::MsgAnswer::No : fw::MsgAnswer::Ok;
    }
    int RunModal(fw::Dialog&) override { return fw::kIdOk; }

    const std::vector<std::string>& Messages() const { return messages_; }

  private:
    fw::UiService* previous_;
    std::vector<std::string> messages_;
};

std::string Local(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// Program texts are Windows-1252.
std::string LocalFromProgram(const std::string& text) {
    return Local(fw::ToQt(text));
}

QString AbsoluteRegistryPath(const QString& registryFile) {
    return QFileInfo(registryFile.isEmpty() ? DefaultRegistryPath() : registryFile)
        .absoluteFilePath();
}

// Binds the store so that it never writes and reads the file once for the whole run; the error
// text when the file cannot be used.
std::string OpenForReading(const QString& path) {
    std::string error = registry::OpenFileStore(path.toStdString(), registry::StoreWrites::Discard);
    if (!error.empty() && error.find(path.toStdString()) == std::string::npos)
        error = path.toStdString() + ": " + error;
    return error;
}

HeadlessResult CannotRead(const std::string& error) {
    HeadlessResult result;
    result.exitCode = 2;
    result.errors =
        "vlxconfigurator: the registry file cannot be used:\n" + LocalFromProgram(error) + "\n";
    return result;
}

}  // namespace

HeadlessResult RunCheck(const QString& registryFile, const PageTable& pages) {
    const QString path = AbsoluteRegistryPath(registryFile);
    if (const std::string error = OpenForReading(path); !error.empty())
        return CannotRead(error);
    InitProgramResources();

    CollectingUi ui;
    std::string storeError;
    {
        // One batch, so every load reads the same state of the file and the only read that can
        // fail is this one.
        registry::RegistryBatch batch;
        storeError = registry::TakeStoreError();
        if (storeError.empty()) {
            CVlxConfiguratorDlg dialog(pages);
            dialog.DoModal();
        }
    }
    registry::CloseFileStore();
    if (!storeError.empty())
        return CannotRead(storeError);

    HeadlessResult result;
    const std::string prefix = res::strings::kInvalidConfigurationPrefix;
    for (const std::string& message : ui.Messages()) {
        if (!result.out.empty())
            result.out += "\n";
        result.out += LocalFromProgram(message) + "\n";
        if (message.compare(0, prefix.size(), prefix) == 0)
            result.exitCode = 1;
    }
    return result;
}

HeadlessResult RunExportForImport(const QString& registryFile, const QString& outFile) {
    const QString path = AbsoluteRegistryPath(registryFile);
    if (const std::string error = OpenForReading(path); !error.empty())
        return CannotRead(error);

    std::string storeError;
    std::string bytes;
    LONG readResult = ERROR_SUCCESS;
    {
        registry::RegistryBatch batch;
        storeError = registry::TakeStoreError();
        if (storeError.empty()) {
            readResult = registry::ExportAreasForImport(
                AreaKeys(DefaultPageTable()),
                registry::FileStoreFormat().value_or(registry::RegFileFormat{}), &bytes);
            storeError = registry::TakeStoreError();
        }
    }
    registry::CloseFileStore();
    if (!storeError.empty())
        return CannotRead(storeError);

    HeadlessResult result;
    if (readResult != ERROR_SUCCESS) {
        result.exitCode = 2;
        result.errors = Local(QStringLiteral("vlxconfigurator: %1: an entry of the program's "
                                             "areas cannot be read (error %2); %3 was not "
                                             "written.\n")
                                  .arg(path)
                                  .arg(readResult)
                                  .arg(outFile));
        return result;
    }
    // Through a temporary file, so a failed write leaves no half import file behind.
    QSaveFile out(outFile);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !out.commit()) {
        result.exitCode = 1;
        result.errors = Local(QStringLiteral("vlxconfigurator: %1: cannot write the import "
                                             "file: %2.\n")
                                  .arg(outFile, out.errorString()));
    }
    return result;
}

}  // namespace app
