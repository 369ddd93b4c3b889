#include "pages/filters/tab_dlg_filters.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "framework/framework.h"
#include "pages/common/user_levels.h"
#include "resources/templates/template_130.h"

namespace {

using namespace res::t130;

// The "Fast Delete Template" choices; the list is offered only, nothing stores the choice.
constexpr std::array<std::string_view, 7> kFastDeleteTemplates = {
    "No template", "Cell", "Expert", "Expert submit", "Function", "Modul", "Submit"};

constexpr const char* kLevelFiltersCaption = "Available filters at level";
constexpr const char* kPropertiesCaption = "Properties for filter:";

constexpr const char* kRemoveUsedFilterQuestion =
    "The filter you want to delete is defined for some levels!                  \n"
    "\tBy continue you may lose some data!\n"
    "\t\tContinue?";
constexpr const char* kBackslashInName =
    "A filter name cannot contain a backslash (\\).\nPlease choose another name.";

bool ActsOnKeys(int id) {
    return id == kSupportedLevels || id == kDefinedLevels || id == kLevelFilters ||
           id == kAllFilters || id == kNewName;
}

}  // namespace

CTabDlgFilters::CTabDlgFilters() = default;
CTabDlgFilters::~CTabDlgFilters() = default;

const fw::MessageTableBase& CTabDlgFilters::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgFilters>(&CBasicDialogTab::GetClassMessageTable())
            .OnClicked(kAddLevel, &CTabDlgFilters::AddLevel)
            .OnClicked(kRemoveLevel, &CTabDlgFilters::RemoveLevel)
            .On(kDefinedLevels, fw::Notify::SelChange, &CTabDlgFilters::ShowLevel)
            .OnClicked(kAddFilter, &CTabDlgFilters::AddFilter)
            .OnClicked(kRemoveFilter, &CTabDlgFilters::RemoveFilter)
            .On(kAllFilters, fw::Notify::SelChange, &CTabDlgFilters::ShowFilter)
            .OnClicked(kMakeAvailable, &CTabDlgFilters::MakeAvailable)
            .OnClicked(kDisableForLevel, &CTabDlgFilters::DisableForLevel)
            .On(kLevelFilters, fw::Notify::SelChange, &CTabDlgFilters::ShowFilterOfLevelRow)
            .On(kLevelFilters, fw::Notify::CheckToggled, &CTabDlgFilters::ChooseDefault)
            .On(kMask, fw::Notify::TextChanged, &CTabDlgFilters::ChangeMask)
            .On(kComment, fw::Notify::TextChanged, &CTabDlgFilters::ChangeComment)
            .OnClicked(kShowExplode, &CTabDlgFilters::ToggleShowExplode)
            .OnClicked(kHidden, &CTabDlgFilters::ToggleHidden)
            .OnClicked(kSystem, &CTabDlgFilters::ToggleSystem)
            .On(kTypes, fw::Notify::CheckToggled, &CTabDlgFilters::ToggleType)
            .OnClicked(kApply, &CTabDlgFilters::SaveToRegistry);
    return table;
}

bool CTabDlgFilters::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();

    Item<fw::ListBox>(kSupportedLevels).AddTable(userlevels::kLevelListNames);
    Item<fw::CheckListBox>(kTypes).AddTable(filters::kTypeTable);
    Item<fw::ComboBox>(kFastDeleteTemplate).AddTable(kFastDeleteTemplates);

    Item<fw::Edit>(kNewName).SetLimitText(static_cast<int>(filters::kMaxFilterNameLength));
    Item<fw::Edit>(kMask).SetLimitText(static_cast<int>(filters::kMaxTextLength));
    Item<fw::Edit>(kComment).SetLimitText(static_cast<int>(filters::kMaxTextLength));
    return result;
}

void CTabDlgFilters::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kComment, comment_);
    exchange.Text(kMask, mask_);
    exchange.Text(kNewName, newName_);
    exchange.Check(kShowExplode, showExplode_);
    exchange.Check(kHidden, hidden_);
    exchange.Check(kSystem, system_);
}

bool CTabDlgFilters::LoadFromRegistry() {
    auto& allFilters = Item<fw::ListBox>(kAllFilters);
    auto& definedLevels = Item<fw::ListBox>(kDefinedLevels);
    allFilters.ResetContent();
    definedLevels.ResetContent();
    // An area that cannot be opened stays empty, the other is shown all the same, so "&Apply"
    // after a failed load gives back what was there.
    const filters::FilterLoadResult result =
        filters::FilterRegistry::Load(filters_, levels_, areaValues_);

    for (const auto& filter : filters_) {
        allFilters.AddString(filter->name);
    }
    allFilters.SetCurSel(0);
    ShowFilter();

    for (const auto& level : levels_) {
        definedLevels.AddString(level->level);
    }
    definedLevels.SetCurSel(0);
    ShowLevel();
    return result.Ok();
}

void CTabDlgFilters::SaveToRegistry() {
    const filters::FilterSaveResult result =
        filters::FilterRegistry::Save(filters_, levels_, areaValues_);
    if (result.deleteFailed) {
        fw::ShowMessageBox("Error deleting registry", fw::MsgIcon::Error, fw::MsgButtons::Ok);
    }
}

filters::FilterDefinition* CTabDlgFilters::FindFilter(const std::string& name) const {
    return filters::FindFilter(filters_, name);
}

filters::FilterListDefinition* CTabDlgFilters::FindFilterList(const std::string& level) const {
    return filters::FindFilterList(levels_, level);
}

filters::FilterListDefinition* CTabDlgFilters::SelectedLevel() const {
    const auto& definedLevels = Item<fw::ListBox>(kDefinedLevels);
    const int row = definedLevels.GetCurSel();
    return row < 0 ? nullptr : FindFilterList(definedLevels.GetText(row));
}

filters::FilterDefinition* CTabDlgFilters::SelectedFilter() const {
    const int row = Item<fw::ListBox>(kAllFilters).GetCurSel();
    return row < 0 || row >= static_cast<int>(filters_.size())
               ? nullptr
               : filters_[static_cast<std::size_t>(row)].get();
}

filters::FilterDefinition* CTabDlgFilters::CurrentFilter() const {
    return currentFilter_ < 0 || currentFilter_ >= static_cast<int>(filters_.size()) ||
                   currentFilter_ >= Item<fw::ListBox>(kAllFilters).GetCount()
               ? nullptr
               : filters_[static_cast<std::size_t>(currentFilter_)].get();
}

void CTabDlgFilters::ShowLevel() {
    auto& levelFilters = Item<fw::CheckListBox>(kLevelFilters);
    levelFilters.ResetContent();
    const filters::FilterListDefinition* level = SelectedLevel();
    if (level == nullptr) {
        // No level is selected (the last one was removed): nothing may go on naming one.
        SetItemText(kLevelFiltersLabel, kLevelFiltersCaption);
        return;
    }
    bool checked = false;
    for (const std::string& name : level->filters) {
        const int row = levelFilters.AddString(name);
        if (!checked && filters::NamesMatch(name, level->defaultFilter)) {
            levelFilters.SetCheck(row, true);
            checked = true;
        }
    }
    levelFilters.SetCurSel(0);
    SetItemText(kLevelFiltersLabel, "Filters for level: " + level->level);
}

void CTabDlgFilters::ShowNoFilter() {
    mask_.clear();
    comment_.clear();
    showExplode_ = hidden_ = system_ = 0;
    Item<fw::ComboBox>(kFastDeleteTemplate).SetCurSel(0);
    auto& types = Item<fw::CheckListBox>(kTypes);
    for (int row = 0; row < types.GetCount(); ++row) {
        types.SetCheck(row, false);
    }
    SetItemText(kPropertiesGroup, kPropertiesCaption);
    UpdateData(false);
}

void CTabDlgFilters::ShowFilter() {
    const auto& allFilters = Item<fw::ListBox>(kAllFilters);
    currentFilter_ = allFilters.GetCurSel();
    if (currentFilter_ < 0) {
        if (allFilters.GetCount() == 0) {
            ShowNoFilter();
        }
        return;
    }
    const filters::FilterDefinition* filter = CurrentFilter();
    if (filter == nullptr) {
        return;
    }
    mask_ = filter->mask;
    comment_ = filter->comment;
    Item<fw::ComboBox>(kFastDeleteTemplate).SetCurSel(0);
    auto& types = Item<fw::CheckListBox>(kTypes);
    for (int row = 0; row < static_cast<int>(filters::kTypeTable.size()); ++row) {
        types.SetCheck(row, ((filter->type >> row) & 1u) != 0);
    }
    showExplode_ = filter->showModuleExplode != 0 ? 1 : 0;
    system_ = (filter->showAttrib & filters::kShowSystem) != 0 ? 1 : 0;
    hidden_ = (filter->showAttrib & filters::kShowHidden) != 0 ? 1 : 0;
    SetItemText(kPropertiesGroup, "Properties for filter: " + filter->name);
    UpdateData(false);
}

void CTabDlgFilters::ShowFilterOfLevelRow() {
    const auto& levelFilters = Item<fw::CheckListBox>(kLevelFilters);
    const int row = levelFilters.GetCurSel();
    if (row < 0) {
        return;
    }
    // A level may name a filter that has no record; the properties then stay on the filter
    // they show, which is also the one their edits reach.
    const int filterRow = filters::IndexOfFilter(filters_, levelFilters.GetText(row));
    if (filterRow < 0) {
        return;
    }
    Item<fw::ListBox>(kAllFilters).SetCurSel(filterRow);
    ShowFilter();
}

void CTabDlgFilters::AddLevel() {
    auto& supportedLevels = Item<fw::ListBox>(kSupportedLevels);
    auto& definedLevels = Item<fw::ListBox>(kDefinedLevels);
    const int row = supportedLevels.GetCurSel();
    if (row < 0) {
        return;
    }
    const std::string name = supportedLevels.GetText(row);
    supportedLevels.SetCurSel(row + 1 < supportedLevels.GetCount() ? row + 1 : 0);

    const int existing = definedLevels.FindStringExact(-1, name);
    if (existing >= 0) {
        definedLevels.SetCurSel(existing);
    } else {
        levels_.push_back(filters::MakeNewFilterList(name));
        definedLevels.SetCurSel(definedLevels.AddString(name));
    }
    ShowLevel();
}

void CTabDlgFilters::RemoveLevel() {
    auto& definedLevels = Item<fw::ListBox>(kDefinedLevels);
    const int row = definedLevels.GetCurSel();
    if (row < 0) {
        return;
    }
    const std::string name = definedLevels.GetText(row);
    if (userlevels::IsDefaultLevel(name) || !filters::RemoveFilterList(levels_, name)) {
        return;
    }
    definedLevels.DeleteString(row);
    // With no level left, ShowLevel empties the level's filter list too.
    definedLevels.SetCurSel(std::min(row, definedLevels.GetCount() - 1));
    ShowLevel();
}

void CTabDlgFilters::AddFilter() {
    UpdateData(true);
    // The name becomes a registry key name, in which a backslash would open a subkey.
    if (newName_.find('\\') != std::string::npos) {
        fw::ShowMessageBox(kBackslashInName, fw::MsgIcon::Error, fw::MsgButtons::Ok);
        return;
    }
    auto& allFilters = Item<fw::ListBox>(kAllFilters);
    if (filters::IsNewFilterName(filters_, newName_)) {
        // The name is kept as typed, blanks and all.
        filters_.push_back(filters::MakeNewFilter(newName_));
        allFilters.SetCurSel(allFilters.AddString(newName_));
    } else {
        const int row = filters::IndexOfFilter(filters_, newName_);
        if (row < 0) {
            return;
        }
        allFilters.SetCurSel(row);
    }
    ShowFilter();
}

void CTabDlgFilters::RemoveFilter() {
    auto& allFilters = Item<fw::ListBox>(kAllFilters);
    const int row = allFilters.GetCurSel();
    if (row < 0 || row >= static_cast<int>(filters_.size())) {
        return;
    }
    const std::string name = filters_[static_cast<std::size_t>(row)]->name;
    if (filters::FirstListOffering(levels_, name) != nullptr &&
        fw::ShowMessageBox(kRemoveUsedFilterQuestion, fw::MsgIcon::Exclamation,
                           fw::MsgButtons::OkCancel) != fw::MsgAnswer::Ok) {
        return;
    }
    filters::WithdrawFromLevels(levels_, name);
    filters_.erase(filters_.begin() + row);
    allFilters.DeleteString(row);
    allFilters.SetCurSel(std::min(row, allFilters.GetCount() - 1));
    ShowLevel();
    ShowFilter();
}

void CTabDlgFilters::MakeAvailable() {
    const filters::FilterDefinition* filter = SelectedFilter();
    filters::FilterListDefinition* level = SelectedLevel();
    if (filter == nullptr || level == nullptr) {
        return;
    }
    auto& levelFilters = Item<fw::CheckListBox>(kLevelFilters);
    if (const int offered = level->IndexOf(filter->name); offered >= 0) {
        levelFilters.SetCurSel(offered);
        return;
    }
    level->AddFilter(filter->name);
    levelFilters.SetCurSel(levelFilters.AddString(filter->name));
    if (levelFilters.GetCount() == 1) {
        // A level's first filter is its default.
        ChooseDefault();
    }
}

void CTabDlgFilters::DisableForLevel() {
    auto& levelFilters = Item<fw::CheckListBox>(kLevelFilters);
    // A level keeps at least one filter.
    if (levelFilters.GetCount() == 1) {
        return;
    }
    const int row = levelFilters.GetCurSel();
    filters::FilterListDefinition* level = SelectedLevel();
    if (row < 0 || level == nullptr) {
        return;
    }
    const std::string name = levelFilters.GetText(row);
    const int index = level->IndexOf(name);
    if (index >= 0) {
        level->RemoveFilterAt(static_cast<std::size_t>(index));
    }
    levelFilters.DeleteString(row);
    if (levelFilters.GetCount() == 0) {
        return;
    }
    levelFilters.SetCurSel(std::min(row, levelFilters.GetCount() - 1));
    ShowFilterOfLevelRow();
    if (filters::NamesMatch(name, level->defaultFilter)) {
        ChooseDefault();
    }
}

void CTabDlgFilters::ChooseDefault() {
    filters::FilterListDefinition* level = SelectedLevel();
    auto& levelFilters = Item<fw::CheckListBox>(kLevelFilters);
    const int row = levelFilters.GetCurSel();
    if (level == nullptr || row < 0) {
        return;
    }
    // Exactly one row is checked; a click on the checked row's box leaves it checked.
    for (int other = 0; other < levelFilters.GetCount(); ++other) {
        if (other != row && levelFilters.GetCheck(other)) {
            levelFilters.SetCheck(other, false);
        }
    }
    levelFilters.SetCheck(row, true);
    level->SetDefault(levelFilters.GetText(row));
}

void CTabDlgFilters::ChangeMask() {
    UpdateData(true);
    if (filters::FilterDefinition* filter = SelectedFilter()) {
        filter->SetMask(mask_);
    }
}

void CTabDlgFilters::ChangeComment() {
    UpdateData(true);
    if (filters::FilterDefinition* filter = SelectedFilter()) {
        filter->SetComment(comment_);
    }
}

void CTabDlgFilters::UndoCheck(int id) {
    auto& box = Item<fw::CheckBox>(id);
    box.SetCheck(box.GetCheck() != 0 ? 0 : 1);
    UpdateData(true);
}

void CTabDlgFilters::ToggleShowExplode() {
    UpdateData(true);
    filters::FilterDefinition* filter = CurrentFilter();
    if (filter == nullptr) {
        UndoCheck(kShowExplode);
        return;
    }
    filter->SetShowModuleExplode(showExplode_ != 0 ? 1 : 0);
}

void CTabDlgFilters::ToggleHidden() {
    UpdateData(true);
    filters::FilterDefinition* filter = CurrentFilter();
    if (filter == nullptr) {
        UndoCheck(kHidden);
        return;
    }
    filter->SetShowAttrib(hidden_ != 0 ? (filter->showAttrib | filters::kShowHidden)
                                       : (filter->showAttrib & filters::kShowSystem));
}

void CTabDlgFilters::ToggleSystem() {
    UpdateData(true);
    filters::FilterDefinition* filter = CurrentFilter();
    if (filter == nullptr) {
        UndoCheck(kSystem);
        return;
    }
    filter->SetShowAttrib(system_ != 0 ? (filter->showAttrib | filters::kShowSystem)
                                       : (filter->showAttrib & filters::kShowHidden));
}

void CTabDlgFilters::ToggleType() {
    auto& types = Item<fw::CheckListBox>(kTypes);
    const int row = types.GetCurSel();
    if (row < 0 || row >= static_cast<int>(filters::kTypeTable.size())) {
        return;
    }
    filters::FilterDefinition* filter = SelectedFilter();
    if (filter == nullptr) {
        // No filter takes the click: the mark goes back.
        types.SetCheck(row, !types.GetCheck(row));
        return;
    }
    const std::uint32_t bit = 1u << row;
    filter->SetType(types.GetCheck(row) ? (filter->type | bit) : (filter->type & ~bit));
}

bool CTabDlgFilters::PreTranslateKey(const fw::KeyMessage& message) {
    const int id = message.controlId;
    if (message.action == fw::KeyAction::Press) {
        keyDownControl_ = id;
        return CBasicDialogTab::PreTranslateKey(message);
    }
    // A held key repeats its presses (and, on some systems, releases); only the real release
    // acts, once.
    if (message.autoRepeat || !ActsOnKeys(id)) {
        return CBasicDialogTab::PreTranslateKey(message);
    }
    const bool pressedHere = keyDownControl_ == id;
    keyDownControl_ = 0;
    if (!pressedHere) {
        return CBasicDialogTab::PreTranslateKey(message);
    }
    const unsigned key = message.virtualKey;
    if (key == fw::kVkReturn && id == kSupportedLevels) {
        AddLevel();
    } else if (key == fw::kVkDelete && id == kDefinedLevels) {
        RemoveLevel();
    } else if (key == fw::kVkDelete && id == kLevelFilters) {
        DisableForLevel();
    } else if (key == fw::kVkReturn && id == kAllFilters) {
        MakeAvailable();
    } else if (key == fw::kVkDelete && id == kAllFilters) {
        RemoveFilter();
    } else if (key == fw::kVkReturn && id == kNewName) {
        AddFilter();
    }
    return CBasicDialogTab::PreTranslateKey(message);
}
