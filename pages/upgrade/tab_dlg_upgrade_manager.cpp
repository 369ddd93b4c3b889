#include "pages/upgrade/tab_dlg_upgrade_manager.h"

#include "common/text_rules.h"
#include "dialogs/dlg_browse_dir.h"
#include "framework/framework.h"
#include "pages/common/controller_path.h"
#include "pages/upgrade/upgrade_registry.h"
#include "resources/templates/template_135.h"

namespace {

using namespace res::t135;

// The loads read names and texts into 100-byte buffers.
constexpr int kTextLimit = 99;

constexpr const char* kFilesCaption = "Files and versions for: ";
constexpr const char* kNoSystemTypeCaption = "Files and Versions for: ";

}  // namespace

CTabDlgUpgradeManager::CTabDlgUpgradeManager() : CBasicDialogTab(upgrade::kUpgradeArea) {}
CTabDlgUpgradeManager::~CTabDlgUpgradeManager() = default;

const fw::MessageTableBase& CTabDlgUpgradeManager::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgUpgradeManager>(&CBasicDialogTab::GetClassMessageTable())
            .On(kSystemTypes, fw::Notify::SelChange, &CTabDlgUpgradeManager::ShowSystemType)
            .On(kFiles, fw::Notify::ItemChanged, &CTabDlgUpgradeManager::ShowSelectedFile)
            .OnClicked(kAddFile, &CTabDlgUpgradeManager::AddOrUpdateFile)
            .OnClicked(kRemoveFile, &CTabDlgUpgradeManager::RemoveFile)
            .On(kPaths, fw::Notify::ItemChanged, &CTabDlgUpgradeManager::ShowSelectedPath)
            .OnClicked(kBrowse, &CTabDlgUpgradeManager::BrowseForPath)
            .OnClicked(kAddPath, &CTabDlgUpgradeManager::AddPath)
            .OnClicked(kRemovePath, &CTabDlgUpgradeManager::RemovePath);
    return table;
}

bool CTabDlgUpgradeManager::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();
    auto& files = Item<fw::ListView>(kFiles);
    files.SetFullRowSelect(true);
    files.InsertColumn(0, "Name", 160);
    files.InsertColumn(1, "Version", 60);
    auto& paths = Item<fw::ListView>(kPaths);
    paths.SetFullRowSelect(true);
    paths.InsertColumn(0, "Name", 80);
    paths.InsertColumn(1, "Full path", 235);
    for (int id : {kFileName, kFileVersion, kPathName, kPath}) {
        Item<fw::Edit>(id).SetLimitText(kTextLimit);
    }
    return result;
}

void CTabDlgUpgradeManager::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kFileName, fileName_);
    exchange.Text(kFileVersion, fileVersion_);
    exchange.Text(kPathName, pathName_);
    exchange.Text(kPath, path_);
}

void CTabDlgUpgradeManager::ReadInto(AreaRead& read) {
    read.opened = upgrade::UpgradeRegistry::Load(read.area).Ok();
    common::ReadInstallationDir(read.installationDir);
}

bool CTabDlgUpgradeManager::LoadFromRegistry() {
    auto& systemTypesList = Item<fw::ListBox>(kSystemTypes);
    auto& paths = Item<fw::ListView>(kPaths);
    systemTypesList.ResetContent();
    Item<fw::ListView>(kFiles).DeleteAllItems();
    paths.DeleteAllItems();

    AreaRead read = pendingRead_.Take(&ReadInto);
    area_ = std::move(read.area);
    const bool opened = read.opened;
    for (const upgrade::WatchedPath& path : area_.watchedPaths) {
        const int row = paths.InsertItem(-1, path.name);
        paths.SetItemText(row, 1, path.path);
    }
    installationDir_ = std::move(read.installationDir);
    for (const auto& systemType : area_.systemTypes) {
        systemTypesList.AddString(systemType->name);
    }
    systemTypesList.SetCurSel(0);
    ShowSystemType();
    return opened;
}

common::AreaResult CTabDlgUpgradeManager::SaveToRegistry() {
    return upgrade::UpgradeRegistry::Save(area_);
}

upgrade::SystemTypeDefinition* CTabDlgUpgradeManager::SelectedSystemType() const {
    const auto& systemTypesList = Item<fw::ListBox>(kSystemTypes);
    const int row = systemTypesList.GetCurSel();
    if (row < 0) {
        return nullptr;
    }
    return upgrade::FindSystemType(area_.systemTypes, systemTypesList.GetText(row));
}

void CTabDlgUpgradeManager::ShowSystemType() {
    auto& files = Item<fw::ListView>(kFiles);
    files.DeleteAllItems();
    const upgrade::SystemTypeDefinition* systemType = SelectedSystemType();
    if (systemType == nullptr) {
        // The caption must not go on naming a system type that is gone.
        SetItemText(kFilesGroup, kNoSystemTypeCaption);
        return;
    }
    for (const upgrade::FileVersion& file : systemType->filesAndVersions) {
        const int row = files.InsertItem(-1, file.file);
        files.SetItemText(row, 1, file.version);
    }
    SetItemText(kFilesGroup, kFilesCaption + systemType->name);
}

void CTabDlgUpgradeManager::ShowSelectedFile(fw::Notification& notification) {
    const auto& files = Item<fw::ListView>(kFiles);
    const int row = files.GetSelectedRow();
    if (row >= 0) {
        fileName_ = files.GetItemText(row, 0);
        fileVersion_ = files.GetItemText(row, 1);
        SetItemText(kFileName, fileName_);
        SetItemText(kFileVersion, fileVersion_);
    }
    notification.result = 0;
}

void CTabDlgUpgradeManager::AddOrUpdateFile() {
    UpdateData(true);
    fileName_ = common::TrimLeftSpaces(fileName_);
    fileVersion_ = common::TrimLeftSpaces(fileVersion_);
    SetItemText(kFileName, fileName_);
    SetItemText(kFileVersion, fileVersion_);
    upgrade::SystemTypeDefinition* systemType = SelectedSystemType();
    if (fileName_.empty() || fileVersion_.empty() || systemType == nullptr) {
        return;
    }
    auto& files = Item<fw::ListView>(kFiles);
    const std::size_t index = systemType->AddOrUpdateFile(fileName_, fileVersion_);
    const int row = static_cast<int>(index);
    if (row >= files.GetItemCount()) {
        files.InsertItem(row, fileName_);
    }
    files.SetItemText(row, 1, fileVersion_);
    files.SetSelectedRow(row);
    files.EnsureVisible(row);
}

void CTabDlgUpgradeManager::RemoveFile() {
    auto& files = Item<fw::ListView>(kFiles);
    const int row = files.GetSelectedRow();
    upgrade::SystemTypeDefinition* systemType = SelectedSystemType();
    if (row < 0 || systemType == nullptr) {
        return;
    }
    if (systemType->RemoveFile(files.GetItemText(row, 0), files.GetItemText(row, 1))) {
        files.DeleteItem(row);
    }
}

void CTabDlgUpgradeManager::ShowSelectedPath(fw::Notification& notification) {
    const auto& paths = Item<fw::ListView>(kPaths);
    const int row = paths.GetSelectedRow();
    if (row >= 0) {
        pathName_ = paths.GetItemText(row, 0);
        path_ = paths.GetItemText(row, 1);
        SetItemText(kPathName, pathName_);
        SetItemText(kPath, path_);
    }
    notification.result = 0;
}

void CTabDlgUpgradeManager::BrowseForPath() {
    UpdateData(true);
    CDlgBrowseDir picker;
    if (picker.DoModal(this) != fw::kIdCancel) {
        path_ = picker.path;
    }
    // Whatever the edit holds is put in its stored form, chosen or not.
    path_ = common::ControllerPath(path_, installationDir_);
    SetItemText(kPath, path_);
}

void CTabDlgUpgradeManager::AddPath() {
    UpdateData(true);
    pathName_ = common::TrimSpaces(pathName_);
    path_ = common::TrimSpaces(path_);
    SetItemText(kPathName, pathName_);
    SetItemText(kPath, path_);
    if (pathName_.empty() || path_.empty()) {
        return;
    }
    auto& paths = Item<fw::ListView>(kPaths);
    int row = 0;
    if (const auto found = upgrade::FindWatchedPath(area_.watchedPaths, pathName_)) {
        row = static_cast<int>(*found);
    } else {
        area_.watchedPaths.push_back(upgrade::WatchedPath{pathName_, path_, std::nullopt});
        row = paths.InsertItem(-1, pathName_);
        paths.SetItemText(row, 1, path_);
    }
    paths.SetSelectedRow(row);
    paths.EnsureVisible(row);
}

void CTabDlgUpgradeManager::RemovePath() {
    auto& paths = Item<fw::ListView>(kPaths);
    const int row = paths.GetSelectedRow();
    if (row < 0 || row >= static_cast<int>(area_.watchedPaths.size())) {
        return;
    }
    area_.watchedPaths.erase(area_.watchedPaths.begin() + row);
    paths.DeleteItem(row);
}
