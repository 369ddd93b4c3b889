#include "tests/support/picker_answers.h"

#include <gtest/gtest.h>

#include "dialogs/dlg_browse_dir.h"
#include "resources/templates/template_138.h"

namespace testsupport {

namespace {

void Queue(uikit::UiRecorder& ui, const std::string* path, PickerRequest* request) {
    std::optional<std::string> typed;
    if (path != nullptr) {
        typed = *path;
    }
    ui.OnModal([typed, request](fw::Dialog& dialog) {
        auto* picker = dynamic_cast<CDlgBrowseDir*>(&dialog);
        if (picker == nullptr) {
            ADD_FAILURE() << "expected the directory picker, got dialog "
                          << dialog.TemplateNumber();
            dialog.EndDialog(fw::kIdCancel);
            return;
        }
        if (request != nullptr) {
            request->opened = true;
            request->directoriesOnly = picker->directoriesOnly;
            request->shownPath = picker->GetItemText(res::t138::kPath);
        }
        if (typed) {
            uikit::TypeText(*picker, res::t138::kPath, *typed);
            uikit::Click(*picker, fw::kIdOk);
        } else {
            uikit::Click(*picker, fw::kIdCancel);
        }
    });
}

}  // namespace

void AnswerPicker(uikit::UiRecorder& ui, const std::string& path, PickerRequest* request) {
    Queue(ui, &path, request);
}

void CancelPicker(uikit::UiRecorder& ui, PickerRequest* request) {
    Queue(ui, nullptr, request);
}

}  // namespace testsupport
