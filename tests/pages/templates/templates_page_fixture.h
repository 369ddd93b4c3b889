#pragma once
// The Templates page tests' common ground: a seeded configuration and a fixture that opens the
// page on it and reads the controls and the store.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "pages/templates/tab_dlg_templates.h"
#include "pages/templates/templates_registry.h"
#include "resources/templates/template_133.h"
#include "tests/pages/templates/templates_reg_text.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

namespace templatespagetest {

using namespace res::t133;
using namespace templatestest;
using Rows = std::vector<std::string>;

// A controller's configuration: four templates, four directories, one of which offers a
// template that does not exist ("Ghost"), and the installation directory C:\CTL. In export order.
inline const std::string kArea =
    Reg("[T]\n" +
        TemplateKey("Cell", "%InstallationDir%\\\\roboter\\\\template\\\\cell", "*.src",
                    "Cell program", 0, {"Demo", "User"}) +
        TemplateKey("Expert", "%InstallationDir%\\\\roboter\\\\template\\\\expert", "*.src;*.dat",
                    "Expert module", 0, {"Demo", "Expert", "User"}) +
        TemplateKey("Modul", "%InstallationDir%\\\\roboter\\\\template\\\\modul", "*.src;*.dat",
                    "Module", 1, {}) +
        TemplateKey("Submit", "%InstallationDir%\\\\roboter\\\\template\\\\submit", "*.sub",
                    "Submit program", 0, {"Admin"}) +
        "[L]\n"
        "[L\\DEFAULT]\n\"Modul\"=dword:00000001\n"
        "[L\\vlx:/r1/]\n\"Cell\"=dword:00000001\n\"Modul\"=dword:00000001\n"
        "[L\\vlx:/r1/program/]\n\"Expert\"=dword:00000001\n\"Modul\"=dword:00000001\n"
        "[L\\vlx:/r1/system/]\n\"Ghost\"=dword:00000001\n\"Submit\"=dword:00000001\n");

inline const std::string kVersion =
    "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n"
    "\"InstallationDir\"=\"C:\\\\CTL\"\n";

class TemplatesPageTest : public ::testing::Test {
  protected:
    // Seeds the store, creates the page in a tab control and loads it as the main window does.
    void Open(const std::string& regText) {
        page_ = nullptr;
        harness_.reset();
        harness_ = std::make_unique<testsupport::PageHarness>(regText);
        page_ = &harness_->CreatePage<CTabDlgTemplates>(kTemplate);
        loaded_ = harness_->LoadResult();
    }

    CTabDlgTemplates& Page() { return *page_; }
    uikit::UiRecorder& Ui() { return harness_->Ui(); }
    Rows RowsOf(int id) { return uikit::Rows(*page_, id); }
    std::string Text(int id) { return page_->GetItemText(id); }
    std::string Selected(int id) { return page_->FindControl(id)->GetText(); }
    bool Checked(int id) { return page_->Item<fw::CheckBox>(id).GetCheck() == 1; }
    // Demo, User, Expert, Admin.
    std::vector<bool> LevelBoxes() {
        return {Checked(kDemo), Checked(kUser), Checked(kExpert), Checked(kAdmin)};
    }
    const templates::TemplateDefinition& Template(const std::string& name) {
        const int index = templates::FindTemplate(page_->Area().templates, name);
        EXPECT_GE(index, 0) << name;
        return *page_->Area().templates.at(static_cast<std::size_t>(index < 0 ? 0 : index));
    }
    std::string Export() { return harness_->Export(kTemplateRoot) + harness_->Export(kListRoot); }
    void Apply() { harness_->Apply(); }
    void Select(int id, const std::string& text) { uikit::SelectRowByText(*page_, id, text); }

    std::unique_ptr<testsupport::PageHarness> harness_;
    CTabDlgTemplates* page_ = nullptr;  // owned by the harness
    bool loaded_ = false;
};

}  // namespace templatespagetest
