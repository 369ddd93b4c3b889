#pragma once
// Answers to the directory picker for page tests: queue one before the click that opens the
// picker; the picker then runs as usual (on the harness's temporary drive C:) and is answered
// the way a user would: a path typed into its edit and OK, or Cancel.
//
//   testsupport::PickerRequest asked;
//   testsupport::AnswerPicker(h.Ui(), "C:\\VLX\\Roboter\\VLX\\R1", &asked);
//   uikit::Click(page, res::t136::kBrowse);
//   EXPECT_FALSE(asked.directoriesOnly);       // how the page set the picker up
//   EXPECT_EQ(page.GetItemText(res::t136::kPath), "vlx:\\r1");
//
// A modal dialog other than the picker fails the test (and is cancelled).

#include <string>

#include "tests/support/ui_kit.h"

namespace testsupport {

// How the page ran the picker, filled in when the picker opens.
struct PickerRequest {
    bool opened = false;
    bool directoriesOnly = true;
    std::string shownPath;  // what the picker's edit showed when it opened
};

// The next modal dialog is the picker: types `path` into its edit and clicks OK.
void AnswerPicker(uikit::UiRecorder& ui, const std::string& path, PickerRequest* request = nullptr);
// The next modal dialog is the picker: clicks Cancel.
void CancelPicker(uikit::UiRecorder& ui, PickerRequest* request = nullptr);

}  // namespace testsupport
