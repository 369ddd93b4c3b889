#include "tests/support/page_harness.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "app/store_errors.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "framework/dialog_template.h"
#include "framework/tab_control.h"
#include "registry/reg_import.h"
#include "registry/registry_store.h"
#include "resources/templates/template_102.h"

namespace testsupport {

namespace {

// The main window's template without its menu: same size, font and tab control.
const fw::DialogTemplate& HostTemplate() {
    static const fw::DialogTemplate tmpl = [] {
        fw::DialogTemplate t = *fw::FindDialogTemplate(res::t102::kTemplate);
        t.menuId = 0;
        return t;
    }();
    return tmpl;
}

}  // namespace

PageHost::PageHost() : fw::Dialog(res::t102::kTemplate) {
    CreateFromTemplate(HostTemplate(), nullptr);
    // As in the program: nine labels, so placement under wrapped rows is what pages really get.
    const char* labels[] = {"Display",
                            "Filter/Filter list",
                            "Methods",
                            "User Methods",
                            "Templates/Templates list",
                            "Upgrade Manager",
                            "Archive Manager",
                            "History Info",
                            "General/Folder Layout"};
    for (int i = 0; i < 9; ++i)
        Tabs().InsertItem(i, labels[i]);
    Tabs().SetCurSel(0);
}

fw::TabControl& PageHost::Tabs() const {
    return Item<fw::TabControl>(res::t102::kTabs);
}

PageHarness::PageHarness(const std::string& regText) : registry_(regText) {
    uikit::EnsureApplication();
    InitProgramResources();
    app::InstallRegistryCommandScope();
    host_ = std::make_unique<PageHost>();
    host_->show();
}

PageHarness::~PageHarness() {
    page_.reset();
    host_.reset();
    app::RemoveRegistryCommandScope();
    registry::TakeStoreError();
}

void PageHarness::Install(std::unique_ptr<CBasicDialogTab> page, unsigned templateNumber) {
    if (page_) {
        ADD_FAILURE() << "PageHarness holds one page only";
        return;
    }
    page_ = std::move(page);
    EXPECT_TRUE(page_->CreateInTab(templateNumber, &host_->Tabs(), host_.get()))
        << "cannot create the page from template " << templateNumber;
    {
        registry::RegistryBatch batch;
        loadResult_ = page_->LoadFromRegistry();
    }
    app::ReportStoreError();
    page_->show();
    uikit::ProcessEvents();
}

bool PageHarness::Reload() {
    bool result = false;
    {
        registry::RegistryBatch batch;
        result = Page().LoadFromRegistry();
    }
    app::ReportStoreError();
    return result;
}

CBasicDialogTab& PageHarness::Page() const {
    if (!page_)
        throw std::logic_error("PageHarness: CreatePage was not called");
    return *page_;
}

void PageHarness::Apply() {
    uikit::Click(Page(), CBasicDialogTab::kApplyId);
}
void PageHarness::Restore() {
    uikit::Click(Page(), CBasicDialogTab::kRestoreId);
}
void PageHarness::Exit() {
    uikit::Click(Page(), CBasicDialogTab::kExitId);
}

std::string PageHarness::Export(const std::string& path) const {
    return registry_.Export(HKEY_LOCAL_MACHINE, path);
}

bool PageHarness::KeyExists(const std::string& path) const {
    return registry_.KeyExists(HKEY_LOCAL_MACHINE, path);
}

void PageHarness::Seed(const std::string& regText) {
    std::string text = regText;
    if (text.rfind("REGEDIT4", 0) != 0 && text.rfind("Windows Registry Editor", 0) != 0)
        text = "REGEDIT4\n" + text;
    // Through the entry points, in one batch, as another program's import would do it: one
    // open per key, which under Wine is most of a seed's time.
    registry::RegistryBatch batch;
    if (const std::string error = registry::ImportRegText(text, "seed"); !error.empty())
        ADD_FAILURE() << "PageHarness::Seed: " << error;
}

int RunMainWindow(uikit::UiRecorder& ui, const PageTable& pages,
                  const std::function<void(CVlxConfiguratorDlg&)>& drive) {
    uikit::EnsureApplication();
    InitProgramResources();
    CVlxConfiguratorDlg dialog(pages);
    ui.OnModal([&drive](fw::Dialog& running) {
        auto& main = static_cast<CVlxConfiguratorDlg&>(running);
        if (!main.isVisible())
            main.show();
        uikit::ProcessEvents();
        drive(main);
        if (!main.HasEnded())
            main.RequestClose();
    });
    return dialog.DoModal();
}

}  // namespace testsupport
