#include "app/vlx_configurator_dlg.h"

#include <cstdint>
#include <functional>
#include <vector>

#include "app/store_errors.h"
#include "dialogs/dlg_about.h"
#include "dialogs/help_window.h"
#include "framework/icons.h"
#include "framework/message_table.h"
#include "framework/tab_control.h"
#include "framework/ui_service.h"
#include "platform/help_viewer.h"
#include "registry/registry_store.h"
#include "registry/side_by_side.h"
#include "resources/strings.h"
#include "resources/templates/template_102.h"

CVlxConfiguratorDlg::CVlxConfiguratorDlg(PageTable table)
    : fw::Dialog(kTemplate), table_(std::move(table)), icon_(fw::LoadIcon(res::t102::kIcon)) {}

CVlxConfiguratorDlg::~CVlxConfiguratorDlg() {
    // Pages go first, in order, while the tab control they sit on still exists.
    for (auto& page : pages_)
        page.reset();
    pages_.clear();
}

CBasicDialogTab* CVlxConfiguratorDlg::Page(int index) const {
    return index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)].get() : nullptr;
}

const fw::MessageTableBase& CVlxConfiguratorDlg::GetClassMessageTable() {
    using namespace res::m131;
    static const auto table =
        fw::MessageTable<CVlxConfiguratorDlg>(&fw::Dialog::GetClassMessageTable())
            .On(res::t102::kTabs, fw::Notify::SelChange, &CVlxConfiguratorDlg::ShowSelectedPage)
            .OnCommandRange(kFirstTab, kLastTab, &CVlxConfiguratorDlg::SelectTabCommand)
            .OnCommand(kExit, &CVlxConfiguratorDlg::ExitCommand)
            .OnCommand(kHelp, &CVlxConfiguratorDlg::HelpCommand)
            .OnCommand(kAbout, &CVlxConfiguratorDlg::AboutCommand);
    return table;
}

const fw::MessageTableBase& CVlxConfiguratorDlg::GetMessageTable() const {
    return GetClassMessageTable();
}

bool CVlxConfiguratorDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    tabControl_ = &Item<fw::TabControl>(res::t102::kTabs);
    setWindowIcon(icon_);

    for (size_t i = 0; i < table_.size(); ++i)
        tabControl_->InsertItem(static_cast<int>(i), table_[i].label);

    {
        // All loads read one consistent state of the store.
        registry::RegistryBatch batch;
        CreatePages();
    }
    app::ReportStoreError();

    currentPage_ = 0;
    if (CBasicDialogTab* page = Page(0)) {
        page->show();
        page->FocusFirstControl();
    }
    tabControl_->SetCurSel(0);
    return false;  // the focus is set
}

void CVlxConfiguratorDlg::CreatePages() {
    const std::string prefix = res::strings::kInvalidConfigurationPrefix;
    // Most of the start-up is reading the areas. They are read first, side by side where the
    // store allows it; then each page is made and loaded from its read, one after the other.
    std::vector<std::function<void(CBasicDialogTab&)>> reads(table_.size());
    std::vector<std::function<void()>> readers;
    for (size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].readAhead)
            readers.push_back([this, &reads, i] { reads[i] = table_[i].readAhead(); });
    }
    registry::ReadSideBySide(readers);
    for (size_t i = 0; i < table_.size(); ++i) {
        const PageEntry& entry = table_[i];
        std::unique_ptr<CBasicDialogTab> page = entry.create();
        page->CreateInTab(entry.templateNumber, tabControl_, this);
        if (reads[i])
            reads[i](*page);
        if (!page->LoadFromRegistry())
            fw::ShowMessageBox(prefix + entry.keyText, fw::MsgIcon::Error, fw::MsgButtons::Ok);
        pages_.push_back(std::move(page));
    }
}

void CVlxConfiguratorDlg::ShowSelectedPage(fw::Notification& notification) {
    notification.result = 0;
    if (CBasicDialogTab* page = Page(currentPage_))
        page->hide();
    currentPage_ = tabControl_->GetCurSel();
    if (CBasicDialogTab* page = Page(currentPage_)) {
        page->show();
        page->FocusFirstControl();
    }
}

void CVlxConfiguratorDlg::SelectTabCommand(int commandId) {
    // Selecting by program raises no notification, so the page is shown here.
    tabControl_->SetCurSel(commandId - res::m131::kFirstTab);
    fw::Notification notification;
    notification.controlId = res::t102::kTabs;
    notification.code = fw::Notify::SelChange;
    ShowSelectedPage(notification);
}

void CVlxConfiguratorDlg::OnClose() {
    EndDialog(fw::kIdOk);
}

void CVlxConfiguratorDlg::ExitCommand() {
    RequestClose();
}

void CVlxConfiguratorDlg::HelpCommand() {
    if (platform::OpenHelpContents(static_cast<std::uintptr_t>(winId())))
        return;
    // No viewer for the help file here: show the help document shipped with the program.
    if (helpWindow_ == nullptr)
        helpWindow_ = new CHelpWindow(QString::fromLatin1(res::strings::kHelpResource), this);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void CVlxConfiguratorDlg::AboutCommand() {
    CDlgAbout about;
    about.DoModal(this);
}
