#include "app/store_errors.h"

#include "framework/command_scope.h"
#include "framework/ui_service.h"
#include "registry/registry_store.h"

namespace app {

bool ReportStoreError() {
    const std::string error = registry::TakeStoreError();
    if (error.empty())
        return false;
    fw::ShowMessageBox(error, fw::MsgIcon::Error, fw::MsgButtons::Ok);
    return true;
}

void InstallRegistryCommandScope() {
    fw::SetCommandScope([](const fw::Command& command) {
        {
            // The batch ends (and writes) before the error is read, so a failed write is seen.
            registry::RegistryBatch batch;
            command();
        }
        ReportStoreError();
    });
}

void RemoveRegistryCommandScope() {
    fw::SetCommandScope({});
}

}  // namespace app
