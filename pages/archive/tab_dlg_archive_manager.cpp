#include "pages/archive/tab_dlg_archive_manager.h"

#include <algorithm>

#include "common/text_rules.h"
#include "dialogs/dlg_add_registry.h"
#include "dialogs/dlg_browse_dir.h"
#include "framework/framework.h"
#include "pages/archive/archive_registry.h"
#include "pages/common/controller_path.h"
#include "resources/templates/template_136.h"

namespace {

using namespace res::t136;

constexpr const char* kBadConfigurationName =
    "The name of an archive configuration must not be empty and must not contain a backslash.";
constexpr const char* kBadPathName = "The name of an archive path must not contain a backslash.";

// Horizontal scroll extent per character, in tenths of a pixel.
constexpr int kExtentTenthsPerCharacter = 67;

// Typed names and paths lose their surrounding space characters (only those).
std::string TrimSpaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool FitsTheBuffers(const std::string& text) {
    return text.size() <= archive::kLongestName;
}

std::string TooLongMessage(const std::vector<std::string>& texts) {
    std::string message = "Longer than " + std::to_string(archive::kLongestName) +
                          " characters, so the archive manager could not read it; not added:";
    for (const std::string& text : texts) {
        message += "\n" + text;
    }
    return message;
}

void ShowError(const std::string& text) {
    fw::ShowMessageBox(text, fw::MsgIcon::Error, fw::MsgButtons::Ok);
}

// After deleting a row, the row at the same place or else the new last one.
void SelectAfterDelete(fw::ListBox& list, int deletedRow) {
    const int count = list.GetCount();
    list.SetCurSel(deletedRow < count ? deletedRow : count - 1);
}

}  // namespace

CTabDlgArchiveManager::CTabDlgArchiveManager() : CBasicDialogTab(archive::kArchiveManagerArea) {}
CTabDlgArchiveManager::~CTabDlgArchiveManager() = default;

const fw::MessageTableBase& CTabDlgArchiveManager::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgArchiveManager>(&CBasicDialogTab::GetClassMessageTable())
            .On(kConfigurations, fw::Notify::SelChange, &CTabDlgArchiveManager::ShowConfiguration)
            .OnClicked(kAddConfiguration, &CTabDlgArchiveManager::AddConfiguration)
            .OnClicked(kRemoveConfiguration, &CTabDlgArchiveManager::RemoveConfiguration)
            .OnClicked(kAddRegistrySource, &CTabDlgArchiveManager::AddRegistrySources)
            .OnClicked(kRemoveRegistrySource, &CTabDlgArchiveManager::RemoveRegistrySource)
            .OnClicked(kAddFileSource, &CTabDlgArchiveManager::AddFileSource)
            .OnClicked(kRemoveFileSource, &CTabDlgArchiveManager::RemoveFileSource)
            .On(kFileSources, fw::Notify::CheckToggled,
                &CTabDlgArchiveManager::StoreFileSourceCheck)
            .On(kPathNames, fw::Notify::SelChange, &CTabDlgArchiveManager::ShowPathDefinition)
            .On(kPaths, fw::Notify::SelChange, &CTabDlgArchiveManager::ShowSelectedPath)
            .On(kPaths, fw::Notify::CheckToggled, &CTabDlgArchiveManager::SetDefaultPath)
            .OnClicked(kAddPath, &CTabDlgArchiveManager::AddPath)
            .OnClicked(kRemovePath, &CTabDlgArchiveManager::RemovePath)
            .OnClicked(kRemovePathName, &CTabDlgArchiveManager::RemovePathName)
            .OnClicked(kBrowseForPath, &CTabDlgArchiveManager::BrowseForPath);
    return table;
}

bool CTabDlgArchiveManager::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();
    // What is typed becomes a key or value name, which the archive manager reads into 100 bytes.
    for (const int id : {kPathName, kPath, kNewConfiguration}) {
        Item<fw::Edit>(id).SetLimitText(static_cast<int>(archive::kLongestName));
    }
    return result;
}

void CTabDlgArchiveManager::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kPathName, pathName_);
    exchange.Text(kPath, path_);
    exchange.Text(kNewConfiguration, newConfigurationName_);
}

void CTabDlgArchiveManager::ReadInto(AreaRead& read) {
    read.loaded = archive::ArchiveRegistry::Load(read.area).Ok();
    common::ReadInstallationDir(read.installationDir);
}

bool CTabDlgArchiveManager::LoadFromRegistry() {
    auto& configurations = Item<fw::ListBox>(kConfigurations);
    auto& pathNames = Item<fw::ListBox>(kPathNames);
    configurations.ResetContent();
    pathNames.ResetContent();
    Item<fw::ListBox>(kRegistrySources).ResetContent();
    Item<fw::ListBox>(kFileSources).ResetContent();

    AreaRead read = pendingRead_.Take(&ReadInto);
    area_ = std::move(read.area);
    installationDir_ = std::move(read.installationDir);

    for (const auto& configuration : area_.configurations) {
        configurations.AddString(configuration->name);
    }
    for (const auto& definition : area_.pathDefinitions) {
        pathNames.AddString(definition->name);
    }
    configurations.SetCurSel(0);
    ShowConfiguration();
    pathNames.SetCurSel(0);
    ShowPathDefinition();
    return read.loaded;
}

common::AreaResult CTabDlgArchiveManager::SaveToRegistry() {
    return archive::ArchiveRegistry::Save(area_);
}

archive::ArchiveConfigurationDefinition* CTabDlgArchiveManager::SelectedConfiguration() const {
    const auto& list = Item<fw::ListBox>(kConfigurations);
    const int row = list.GetCurSel();
    return row < 0 ? nullptr : archive::FindConfiguration(area_.configurations, list.GetText(row));
}

archive::ArchivePathDefinition* CTabDlgArchiveManager::SelectedPathDefinition() const {
    const auto& list = Item<fw::ListBox>(kPathNames);
    const int row = list.GetCurSel();
    return row < 0 ? nullptr : FindPathDefinition(list.GetText(row));
}

archive::ArchivePathDefinition* CTabDlgArchiveManager::FindPathDefinition(
    const std::string& name) const {
    return archive::FindPathDefinition(area_.pathDefinitions, name);
}

int CTabDlgArchiveManager::SourceListExtent(const std::vector<std::string>& strings) {
    std::size_t longest = 0;
    for (const std::string& text : strings) {
        longest = std::max(longest, text.size());
    }
    return static_cast<int>(longest * kExtentTenthsPerCharacter / 10);
}

void CTabDlgArchiveManager::SetSourceListExtent(fw::ListBox& list,
                                                const std::vector<std::string>& strings) {
    list.SetHorizontalExtent(SourceListExtent(strings));
}

void CTabDlgArchiveManager::ShowConfiguration() {
    auto& registrySources = Item<fw::ListBox>(kRegistrySources);
    auto& fileSources = Item<fw::CheckListBox>(kFileSources);
    registrySources.ResetContent();
    fileSources.ResetContent();
    const archive::ArchiveConfigurationDefinition* configuration = SelectedConfiguration();
    if (configuration == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < configuration->fileSources.size(); ++i) {
        const int row = fileSources.AddString(configuration->fileSources[i]);
        fileSources.SetCheck(row, configuration->fileSourceEnabled[i] == 1);
    }
    SetSourceListExtent(fileSources, configuration->fileSources);
    for (const std::string& source : configuration->registrySources) {
        registrySources.AddString(source);
    }
    SetSourceListExtent(registrySources, configuration->registrySources);
    SetItemText(kRegistrySourcesCaption, "Registry sources for: " + configuration->name + " ");
    SetItemText(kFileSourcesCaption, "File sources for: " + configuration->name + " ");
    registrySources.SetCurSel(0);
    fileSources.SetCurSel(0);
}

void CTabDlgArchiveManager::AddConfiguration() {
    UpdateData(true);
    const std::string name = newConfigurationName_;
    // The name becomes a key below Config: an empty one would put the sources straight under it.
    if (!archive::IsValidKeyName(name)) {
        ShowError(kBadConfigurationName);
        return;
    }
    auto& list = Item<fw::ListBox>(kConfigurations);
    int row = list.FindStringExact(-1, name);
    if (row < 0) {
        area_.AddConfiguration(name);
        row = list.AddString(name);
    }
    list.SetCurSel(row);
    ShowConfiguration();
}

void CTabDlgArchiveManager::RemoveConfiguration() {
    auto& list = Item<fw::ListBox>(kConfigurations);
    const int row = list.GetCurSel();
    if (row < 0) {
        return;
    }
    area_.RemoveConfiguration(archive::FindConfiguration(area_.configurations, list.GetText(row)));
    list.DeleteString(row);
    SelectAfterDelete(list, row);
    ShowConfiguration();
}

void CTabDlgArchiveManager::AddRegistrySources() {
    archive::ArchiveConfigurationDefinition* configuration = SelectedConfiguration();
    if (configuration == nullptr) {
        return;
    }
    CDlgAddRegistry picker;
    if (picker.DoModal(this) == fw::kIdCancel) {
        return;
    }
    auto& list = Item<fw::ListBox>(kRegistrySources);
    std::vector<std::string> tooLong;
    for (const std::string& source : picker.selectedSources) {
        int row = list.FindStringExact(-1, source);
        if (row < 0) {
            if (!FitsTheBuffers(source)) {
                tooLong.push_back(source);
                continue;
            }
            configuration->AddRegistrySource(source);
            row = list.AddString(source);
        }
        list.SetCurSel(row);
    }
    SetSourceListExtent(list, configuration->registrySources);
    if (!tooLong.empty()) {
        ShowError(TooLongMessage(tooLong));
    }
}

void CTabDlgArchiveManager::RemoveRegistrySource() {
    archive::ArchiveConfigurationDefinition* configuration = SelectedConfiguration();
    auto& list = Item<fw::ListBox>(kRegistrySources);
    const int row = list.GetCurSel();
    if (configuration == nullptr || row < 0) {
        return;
    }
    configuration->RemoveRegistrySource(list.GetText(row));
    SetSourceListExtent(list, configuration->registrySources);
    list.DeleteString(row);
    SelectAfterDelete(list, row);
}

void CTabDlgArchiveManager::AddFileSource() {
    archive::ArchiveConfigurationDefinition* configuration = SelectedConfiguration();
    if (configuration == nullptr) {
        return;
    }
    const std::optional<std::string> picked = PickPath();
    // An emptied path edit chooses nothing.
    if (!picked || picked->empty()) {
        return;
    }
    if (configuration->FindFileSource(*picked) < 0 &&
        configuration->FindFileSource(archive::FileSourceForm(*picked)) < 0 &&
        !FitsTheBuffers(archive::FileSourceForm(*picked))) {
        ShowError(TooLongMessage({archive::FileSourceForm(*picked)}));
        return;
    }
    auto& list = Item<fw::CheckListBox>(kFileSources);
    // Rows follow the record's sources: a new source is the next row.
    const int row = configuration->AddFileSource(*picked);
    if (row >= list.GetCount()) {
        list.AddString(configuration->fileSources[static_cast<std::size_t>(row)]);
        SetSourceListExtent(list, configuration->fileSources);
    }
    list.SetCheck(row, true);
    list.SetCurSel(row);
}

void CTabDlgArchiveManager::RemoveFileSource() {
    archive::ArchiveConfigurationDefinition* configuration = SelectedConfiguration();
    auto& list = Item<fw::CheckListBox>(kFileSources);
    const int row = list.GetCurSel();
    if (configuration == nullptr || row < 0) {
        return;
    }
    configuration->RemoveFileSource(list.GetText(row));
    SetSourceListExtent(list, configuration->fileSources);
    list.DeleteString(row);
    SelectAfterDelete(list, row);
}

void CTabDlgArchiveManager::StoreFileSourceCheck() {
    archive::ArchiveConfigurationDefinition* configuration = SelectedConfiguration();
    auto& list = Item<fw::CheckListBox>(kFileSources);
    const int row = list.GetCurSel();
    if (configuration == nullptr || row < 0 ||
        row >= static_cast<int>(configuration->fileSourceEnabled.size())) {
        return;
    }
    configuration->fileSourceEnabled[static_cast<std::size_t>(row)] = list.GetCheck(row) ? 1 : 0;
}

void CTabDlgArchiveManager::MarkDefaultPath(const archive::ArchivePathDefinition& definition) {
    auto& paths = Item<fw::CheckListBox>(kPaths);
    for (int row = 0; row < paths.GetCount(); ++row) {
        paths.SetCheck(row, row == definition.defaultIndex);
    }
}

void CTabDlgArchiveManager::ShowPathDefinition() {
    auto& paths = Item<fw::CheckListBox>(kPaths);
    paths.ResetContent();
    const archive::ArchivePathDefinition* definition = SelectedPathDefinition();
    if (definition == nullptr) {
        return;
    }
    for (const std::string& path : definition->paths) {
        paths.AddString(path);
    }
    MarkDefaultPath(*definition);
    paths.SetCurSel(0);
    ShowSelectedPath();
    SetItemText(kPathsCaption, "Defined paths for: " + definition->name);
    pathName_ = definition->name;
    SetItemText(kPathName, pathName_);
}

void CTabDlgArchiveManager::ShowSelectedPath() {
    const auto& paths = Item<fw::CheckListBox>(kPaths);
    const int row = paths.GetCurSel();
    if (row >= 0) {
        path_ = paths.GetText(row);
        SetItemText(kPath, path_);
    }
}

void CTabDlgArchiveManager::SetDefaultPath() {
    archive::ArchivePathDefinition* definition = SelectedPathDefinition();
    const int row = Item<fw::CheckListBox>(kPaths).GetCurSel();
    if (definition == nullptr || row < 0) {
        return;
    }
    // Like radio buttons: exactly one path keeps its mark, and clicking the default keeps it.
    definition->defaultIndex = row;
    MarkDefaultPath(*definition);
}

void CTabDlgArchiveManager::AddPath() {
    UpdateData(true);
    const std::string name = TrimSpaces(pathName_);
    const std::string path = TrimSpaces(path_);
    if (name.empty() || path.empty()) {
        return;
    }
    if (!archive::IsValidKeyName(name)) {
        ShowError(kBadPathName);
        return;
    }
    archive::ArchivePathDefinition* definition = FindPathDefinition(name);
    // A picked path may be longer than the edit lets the user type.
    if ((definition == nullptr || definition->FindPath(path) < 0) && !FitsTheBuffers(path)) {
        ShowError(TooLongMessage({path}));
        return;
    }
    auto& pathNames = Item<fw::ListBox>(kPathNames);
    if (definition == nullptr) {
        definition = &area_.AddPathDefinition(name);
        pathNames.AddString(name);
    }
    definition->AddPath(path);

    pathNames.SetCurSel(pathNames.FindStringExact(-1, name));
    ShowPathDefinition();
    path_ = path;
    SetItemText(kPath, path_);
    auto& paths = Item<fw::CheckListBox>(kPaths);
    paths.SetCurSel(paths.FindStringExact(-1, path));
    ShowSelectedPath();
}

void CTabDlgArchiveManager::RemovePath() {
    auto& pathNames = Item<fw::ListBox>(kPathNames);
    auto& paths = Item<fw::CheckListBox>(kPaths);
    const int nameRow = pathNames.GetCurSel();
    archive::ArchivePathDefinition* definition =
        nameRow < 0 ? nullptr : FindPathDefinition(pathNames.GetText(nameRow));
    const int row = paths.GetCurSel();
    if (definition == nullptr || row < 0) {
        return;
    }
    definition->RemovePath(definition->FindPath(paths.GetText(row)));
    paths.DeleteString(row);
    SelectAfterDelete(paths, row);
    // The default may have moved to another path; the marks show where it is now.
    MarkDefaultPath(*definition);
}

void CTabDlgArchiveManager::RemovePathName() {
    auto& pathNames = Item<fw::ListBox>(kPathNames);
    const int row = pathNames.GetCurSel();
    if (row < 0) {
        return;
    }
    const archive::ArchivePathDefinition* definition = FindPathDefinition(pathNames.GetText(row));
    if (definition == nullptr) {
        return;
    }
    const int entry = pathNames.FindStringExact(-1, definition->name);
    area_.RemovePathDefinition(definition);
    pathNames.DeleteString(entry);
    SelectAfterDelete(pathNames, entry);
    ShowPathDefinition();
}

void CTabDlgArchiveManager::BrowseForPath() {
    if (const std::optional<std::string> picked = PickPath()) {
        path_ = *picked;
        SetItemText(kPath, path_);
    }
}

std::optional<std::string> CTabDlgArchiveManager::PickPath() {
    CDlgBrowseDir picker;
    picker.directoriesOnly = false;
    if (picker.DoModal(this) == fw::kIdCancel) {
        return std::nullopt;
    }
    return common::ControllerPath(picker.path, installationDir_);
}
