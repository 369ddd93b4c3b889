#include "pages/base/basic_dialog_tab.h"

#include "framework/message_table.h"
#include "framework/tab_control.h"
#include "framework/ui_service.h"

CBasicDialogTab::CBasicDialogTab() = default;
CBasicDialogTab::CBasicDialogTab(const common::AreaDescriptor& registryArea)
    : area_(&registryArea) {}
CBasicDialogTab::~CBasicDialogTab() = default;

QRect CBasicDialogTab::PageRectInTab(const QRect& client, int tabHeight, int rows) {
    QRect area = client;
    area.setTop(area.top() + rows * tabHeight);
    return area.adjusted(3, 3, -3, -3);
}

bool CBasicDialogTab::CreateInTab(unsigned templateNumber, fw::TabControl* tabs,
                                  fw::Dialog* owner) {
    tabControl_ = tabs;
    mainDialog_ = owner;
    const bool created = Create(static_cast<int>(templateNumber), tabs);
    if (tabs != nullptr) {
        const QRect tab0 = tabs->GetItemRect(0);
        setGeometry(PageRectInTab(tabs->ClientRect(), tab0.height(), tabs->GetRowCount()));
    }
    return created;
}

const fw::MessageTableBase& CBasicDialogTab::GetClassMessageTable() {
    static const auto table = fw::MessageTable<CBasicDialogTab>(&fw::Dialog::GetClassMessageTable())
                                  .OnClicked(kApplyId, &CBasicDialogTab::ApplyToRegistry)
                                  .OnClicked(kRestoreId, &CBasicDialogTab::Restore)
                                  .OnClicked(kExitId, &CBasicDialogTab::Exit);
    return table;
}

const fw::MessageTableBase& CBasicDialogTab::GetMessageTable() const {
    return GetClassMessageTable();
}

namespace {
CBasicDialogTab::SaveGuard* g_saveGuard = nullptr;
}

void CBasicDialogTab::SetSaveGuard(SaveGuard* guard) {
    g_saveGuard = guard;
}

void CBasicDialogTab::ApplyToRegistry() {
    SaveGuard* const guard = area_ != nullptr ? g_saveGuard : nullptr;
    if (guard != nullptr) {
        if (const std::string refused = guard->BeforeSave(*area_, AreaAsRead()); !refused.empty()) {
            fw::ShowMessageBox(refused, fw::MsgIcon::Error, fw::MsgButtons::Ok);
            return;
        }
    }
    const common::AreaResult result = SaveToRegistry();
    const std::string afterSave = guard != nullptr ? guard->AfterSave() : std::string();
    if (!result.Ok()) {
        if (const std::string text = SaveFailureText(); !text.empty())
            fw::ShowMessageBox(text, fw::MsgIcon::Error, fw::MsgButtons::Ok);
    }
    if (!afterSave.empty())
        fw::ShowMessageBox(afterSave, fw::MsgIcon::Error, fw::MsgButtons::Ok);
}

std::string CBasicDialogTab::SaveFailureText() const {
    return "Error deleting registry";
}

void CBasicDialogTab::Restore() {
    LoadFromRegistry();
}

void CBasicDialogTab::Exit() {
    if (mainDialog_ != nullptr)
        mainDialog_->RequestClose();
}
