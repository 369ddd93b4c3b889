#include "pages/templates/tab_dlg_templates.h"

#include <algorithm>
#include <utility>

#include "common/text_rules.h"
#include "dialogs/dlg_browse_dir.h"
#include "framework/framework.h"
#include "pages/templates/templates_registry.h"
#include "resources/templates/template_133.h"

namespace {

using namespace res::t133;

constexpr const char* kRemoveQuestion =
    "The template you want to delete is defined for some levels!                  \n"
    "\tBy continue you may lose some data!\n"
    "\t\tContinue?";
constexpr const char* kBackslashInName = "A template name cannot contain a backslash.";
constexpr const char* kDirectoryTooLong = "A directory can have at most 99 characters.";
constexpr const char* kFullPathTooLong = "A full path can have at most 99 characters.";
constexpr const char* kPropertiesCaption = "Properties for template:";
constexpr const char* kDirectoryCaption = "Directory";

// Pixels of horizontal scrolling per character of the longest directory.
constexpr int kExtentPerCharacter = 6;

constexpr std::array<int, templates::kLevelCount> kLevelBoxes = {kDemo, kUser, kExpert, kAdmin};

bool IsKeyControl(int id) {
    return id == kDirectories || id == kDirectoryTemplates || id == kTemplates || id == kNewName ||
           id == kDirectoryPath;
}

void ShowError(const char* text) {
    fw::ShowMessageBox(text, fw::MsgIcon::Error, fw::MsgButtons::Ok);
}

}  // namespace

CTabDlgTemplates::CTabDlgTemplates()
    : CBasicDialogTab(templates::kTemplatesArea),
      templateRows_(*this, kTemplates, area_.templates,
                    [](const templates::TemplateDefinition& record) { return record.name; }),
      directoryRows_(
          *this, kDirectories, area_.directories,
          [](const templates::TemplatesListDefinition& record) { return record.directory; }) {}
CTabDlgTemplates::~CTabDlgTemplates() = default;

const fw::MessageTableBase& CTabDlgTemplates::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgTemplates>(&CBasicDialogTab::GetClassMessageTable())
            .On(kTemplates, fw::Notify::SelChange, &CTabDlgTemplates::ShowTemplate)
            .On(kDirectoryTemplates, fw::Notify::SelChange,
                &CTabDlgTemplates::FollowDirectoryTemplate)
            .On(kDirectories, fw::Notify::SelChange, &CTabDlgTemplates::ShowDirectory)
            .OnClicked(kEnableForDirectory, &CTabDlgTemplates::EnableForDirectory)
            .OnClicked(kDisableForDirectory, &CTabDlgTemplates::DisableForDirectory)
            .OnClicked(kAddTemplate, &CTabDlgTemplates::AddTemplate)
            .OnClicked(kRemoveTemplate, &CTabDlgTemplates::RemoveTemplate)
            .OnClicked(kAddDirectory, &CTabDlgTemplates::AddDirectory)
            .OnClicked(kRemoveDirectory, &CTabDlgTemplates::RemoveDirectory)
            .OnClicked(kBrowseDirectory, &CTabDlgTemplates::BrowseForDirectory)
            .OnClicked(kBrowseFullPath, &CTabDlgTemplates::BrowseForTemplateFile)
            .On(kMask, fw::Notify::TextChanged, &CTabDlgTemplates::StoreMask)
            .On(kComment, fw::Notify::TextChanged, &CTabDlgTemplates::StoreComment)
            .On(kFullPath, fw::Notify::TextChanged, &CTabDlgTemplates::StoreFullPath)
            .OnClicked(kFastCreate, &CTabDlgTemplates::StoreFastCreate)
            .OnClicked(kDemo, &CTabDlgTemplates::StoreLevelFlags)
            .OnClicked(kUser, &CTabDlgTemplates::StoreLevelFlags)
            .OnClicked(kExpert, &CTabDlgTemplates::StoreLevelFlags)
            .OnClicked(kAdmin, &CTabDlgTemplates::StoreLevelFlags);
    return table;
}

bool CTabDlgTemplates::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();
    // What the user types stays within what the file manager reads back.
    Item<fw::Edit>(kNewName).SetLimitText(static_cast<int>(templates::kMaxTemplateNameLength));
    for (const int id : {kDirectoryPath, kMask, kComment, kFullPath}) {
        Item<fw::Edit>(id).SetLimitText(static_cast<int>(templates::kMaxTextLength));
    }
    return result;
}

void CTabDlgTemplates::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kNewName, newName_);
    exchange.Text(kDirectoryPath, directoryPath_);
    exchange.Text(kMask, mask_);
    exchange.Text(kComment, comment_);
    exchange.Text(kFullPath, fullPath_);
    exchange.Check(kFastCreate, fastCreate_);
    for (std::size_t i = 0; i < kLevelBoxes.size(); ++i) {
        exchange.Check(kLevelBoxes[i], levels_[i]);
    }
}

void CTabDlgTemplates::ReadInto(AreaRead& read) {
    read.result = templates::TemplatesRegistry::Load(read.area);
}

bool CTabDlgTemplates::LoadFromRegistry() {
    Item<fw::ListBox>(kDirectoryTemplates).ResetContent();
    AreaRead read = pendingRead_.Take(&ReadInto);
    area_ = std::move(read.area);
    const common::AreaResult& result = read.result;
    // Whatever could be read is shown, so that "&Apply" after a failed load keeps it.
    templateRows_.Fill();
    templateRows_.List().SetCurSel(0);
    ShowTemplate();
    directoryRows_.Fill();
    directoryRows_.List().SetCurSel(0);
    ShowDirectory();
    UpdateDirectoriesExtent();
    return result.Ok();
}

common::AreaResult CTabDlgTemplates::SaveToRegistry() {
    return templates::TemplatesRegistry::Save(area_);
}

templates::TemplateDefinition* CTabDlgTemplates::SelectedTemplate() const {
    return templateRows_.Selected();
}

templates::TemplatesListDefinition* CTabDlgTemplates::SelectedDirectory() const {
    return directoryRows_.Selected();
}

void CTabDlgTemplates::PutTemplateMembers() {
    SetItemText(kMask, mask_);
    SetItemText(kComment, comment_);
    SetItemText(kFullPath, fullPath_);
    Item<fw::CheckBox>(kFastCreate).SetCheck(fastCreate_);
    for (std::size_t i = 0; i < kLevelBoxes.size(); ++i) {
        Item<fw::CheckBox>(kLevelBoxes[i]).SetCheck(levels_[i]);
    }
}

void CTabDlgTemplates::ShowTemplate() {
    const templates::TemplateDefinition* record = SelectedTemplate();
    if (record == nullptr) {
        // The frame names a template only while one is selected, so that nobody takes the edits
        // for those of a template that is gone or no longer selected. The members stay.
        SetItemText(kPropertiesGroup, kPropertiesCaption);
        return;
    }
    mask_ = record->editMask;
    comment_ = record->comment;
    fullPath_ = record->fullPath;
    fastCreate_ = record->fastCreate != 0 ? 1 : 0;
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i] = record->levels[i] != 0 ? 1 : 0;
    }
    SetItemText(kPropertiesGroup, "Properties for template: " + record->name + " ");
    // Only the template's own controls: a directory or name being typed stays as it is.
    PutTemplateMembers();
}

void CTabDlgTemplates::FollowDirectoryTemplate() {
    const auto& offered = Item<fw::ListBox>(kDirectoryTemplates);
    const int row = offered.GetCurSel();
    if (row < 0) {
        return;
    }
    Item<fw::ListBox>(kTemplates)
        .SetCurSel(templates::FindTemplate(area_.templates, offered.GetText(row)));
    ShowTemplate();
}

void CTabDlgTemplates::ShowDirectory() {
    auto& offered = Item<fw::ListBox>(kDirectoryTemplates);
    const templates::TemplatesListDefinition* record = SelectedDirectory();
    if (record == nullptr) {
        // As for templates: with no directory selected (none is left), none is shown.
        offered.ResetContent();
        SetItemText(kSelectedDirectory, kDirectoryCaption);
        return;
    }
    offered.ResetContent();
    for (const std::string& name : record->templateNames) {
        offered.AddString(name);
    }
    if (!record->templateNames.empty()) {
        offered.SetCurSel(0);
        FollowDirectoryTemplate();
    }
    SetItemText(kSelectedDirectory, record->directory);
}

void CTabDlgTemplates::EnableForDirectory() {
    templates::TemplatesListDefinition* directory = SelectedDirectory();
    const templates::TemplateDefinition* record = SelectedTemplate();
    if (directory == nullptr || record == nullptr) {
        return;
    }
    auto& offered = Item<fw::ListBox>(kDirectoryTemplates);
    int row = directory->FindTemplateName(record->name);
    if (row < 0) {
        directory->templateNames.push_back(record->name);
        row = offered.AddString(record->name);
    }
    offered.SetCurSel(row);
    FollowDirectoryTemplate();
}

void CTabDlgTemplates::DisableForDirectory() {
    templates::TemplatesListDefinition* directory = SelectedDirectory();
    auto& offered = Item<fw::ListBox>(kDirectoryTemplates);
    const int row = offered.GetCurSel();
    if (directory == nullptr || row < 0) {
        return;
    }
    directory->RemoveTemplateName(offered.GetText(row));
    offered.DeleteString(row);
    offered.SetCurSel(std::min(row, offered.GetCount() - 1));
    FollowDirectoryTemplate();
}

void CTabDlgTemplates::AddTemplate() {
    UpdateData(true);
    newName_ = common::TrimLeft(newName_);
    SetItemText(kNewName, newName_);
    if (newName_.empty()) {
        return;
    }
    // The name becomes a key name.
    if (newName_.find('\\') != std::string::npos) {
        ShowError(kBackslashInName);
        return;
    }
    const int row = templates::FindTemplate(area_.templates, newName_);
    if (row < 0) {
        templateRows_.Add(templates::MakeNewTemplate(newName_));
    } else {
        templateRows_.List().SetCurSel(row);
    }
    ShowTemplate();
}

void CTabDlgTemplates::RemoveTemplate() {
    const templates::TemplateDefinition* record = SelectedTemplate();
    if (record == nullptr) {
        return;
    }
    const std::string name = record->name;
    // Asked once, at the first directory that offers it; Cancel leaves every directory as it is.
    bool asked = false;
    for (const auto& directory : area_.directories) {
        if (directory->FindTemplateName(name) < 0) {
            continue;
        }
        if (!asked) {
            asked = true;
            if (fw::ShowMessageBox(kRemoveQuestion, fw::MsgIcon::Exclamation,
                                   fw::MsgButtons::OkCancel) != fw::MsgAnswer::Ok) {
                return;
            }
        }
        directory->RemoveTemplateName(name);
    }
    templateRows_.Remove(record);
    ShowTemplate();
    ShowDirectory();
}

void CTabDlgTemplates::AddDirectory() {
    UpdateData(true);
    directoryPath_ = common::TrimLeft(directoryPath_);
    SetItemText(kDirectoryPath, directoryPath_);
    if (directoryPath_.empty()) {
        return;
    }
    directoryPath_ = templates::DirectoryToAdd(directoryPath_, area_.installationDir);
    SetItemText(kDirectoryPath, directoryPath_);
    // The file manager reads directory names into 100 bytes.
    if (directoryPath_.size() > templates::kMaxTextLength) {
        ShowError(kDirectoryTooLong);
        return;
    }
    const int row = templates::FindDirectory(area_.directories, directoryPath_);
    if (row < 0) {
        auto record = std::make_unique<templates::TemplatesListDefinition>();
        record->directory = directoryPath_;
        directoryRows_.Add(std::move(record));
        UpdateDirectoriesExtent();
    } else {
        directoryRows_.List().SetCurSel(row);
    }
    ShowDirectory();
}

void CTabDlgTemplates::RemoveDirectory() {
    const templates::TemplatesListDefinition* record = SelectedDirectory();
    if (record == nullptr ||
        common::EqualsNoCase(record->directory, templates::kDefaultDirectory)) {
        return;
    }
    directoryRows_.Remove(record);
    ShowDirectory();
}

void CTabDlgTemplates::BrowseForDirectory() {
    UpdateData(true);
    CDlgBrowseDir picker;
    if (picker.DoModal(this) != fw::kIdCancel) {
        directoryPath_ = picker.path;
    }
    // Only shown: the directory is added by "Add to defined".
    directoryPath_ = templates::BrowsedDirectory(directoryPath_, area_.installationDir);
    SetItemText(kDirectoryPath, directoryPath_);
}

void CTabDlgTemplates::BrowseForTemplateFile() {
    UpdateData(true);
    CDlgBrowseDir picker;
    picker.directoriesOnly = false;
    if (picker.DoModal(this) == fw::kIdCancel) {
        return;
    }
    // The file manager reads the full path into 100 bytes.
    const std::string chosen = templates::WithoutExtension(common::ToLower(picker.path));
    if (templates::StoredFullPath(chosen, area_.installationDir).size() >
        templates::kMaxTextLength) {
        ShowError(kFullPathTooLong);
        return;
    }
    fullPath_ = chosen;
    StoreFullPathMember();
    // The edit shows the path as it is stored.
    SetItemText(kFullPath, fullPath_);
}

void CTabDlgTemplates::StoreMask() {
    UpdateData(true);
    if (templates::TemplateDefinition* record = SelectedTemplate()) {
        if (record->editMask != mask_) {
            record->SetEditMask(mask_);
        }
    }
}

void CTabDlgTemplates::StoreComment() {
    UpdateData(true);
    if (templates::TemplateDefinition* record = SelectedTemplate()) {
        if (record->comment != comment_) {
            record->SetComment(comment_);
        }
    }
}

void CTabDlgTemplates::StoreFullPath() {
    UpdateData(true);
    // The edit keeps showing what was typed.
    StoreFullPathMember();
}

void CTabDlgTemplates::StoreFullPathMember() {
    fullPath_ = templates::StoredFullPath(fullPath_, area_.installationDir);
    if (templates::TemplateDefinition* record = SelectedTemplate()) {
        if (record->fullPath != fullPath_) {
            record->SetFullPath(fullPath_);
        }
    }
}

void CTabDlgTemplates::StoreFastCreate() {
    UpdateData(true);
    if (templates::TemplateDefinition* record = SelectedTemplate()) {
        record->SetFastCreate(static_cast<std::uint32_t>(fastCreate_));
    }
}

void CTabDlgTemplates::StoreLevelFlags() {
    UpdateData(true);
    if (templates::TemplateDefinition* record = SelectedTemplate()) {
        for (std::size_t i = 0; i < levels_.size(); ++i) {
            record->levels[i] = static_cast<std::uint32_t>(levels_[i]);
        }
    }
}

void CTabDlgTemplates::UpdateDirectoriesExtent() {
    std::size_t longest = 0;
    for (const auto& record : area_.directories) {
        longest = std::max(longest, record->directory.size());
    }
    Item<fw::ListBox>(kDirectories)
        .SetHorizontalExtent(static_cast<int>(longest) * kExtentPerCharacter);
}

bool CTabDlgTemplates::PreTranslateKey(const fw::KeyMessage& message) {
    const int id = message.controlId;
    if (message.action == fw::KeyAction::Press) {
        // Every press counts, wherever it goes: a release acts only after a press in its own
        // control.
        keyDownControl_ = id;
        return CBasicDialogTab::PreTranslateKey(message);
    }
    // A held key repeats its presses (and, on some systems, releases); only the real release
    // acts, once.
    if (message.autoRepeat) {
        return CBasicDialogTab::PreTranslateKey(message);
    }
    const bool pressedHere = keyDownControl_ == id && IsKeyControl(id);
    keyDownControl_ = 0;
    if (pressedHere) {
        const unsigned key = message.virtualKey;
        if (key == fw::kVkDelete && id == kDirectories) {
            RemoveDirectory();
        } else if (key == fw::kVkDelete && id == kDirectoryTemplates) {
            DisableForDirectory();
        } else if (key == fw::kVkReturn && id == kTemplates) {
            EnableForDirectory();
        } else if (key == fw::kVkDelete && id == kTemplates) {
            RemoveTemplate();
        } else if (key == fw::kVkReturn && id == kNewName) {
            AddTemplate();
        } else if (key == fw::kVkReturn && id == kDirectoryPath) {
            AddDirectory();
        }
    }
    return CBasicDialogTab::PreTranslateKey(message);
}
