#include "pages/filters/tab_dlg_filters.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
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

CTabDlgFilters::CTabDlgFilters()
    : CBasicDialogTab(filters::kFiltersArea),
      filterRows_(*this, kAllFilters, area_.filters,
                  [](const filters::FilterDefinition& filter) { return filter.name; }),
      levelRows_(*this, kDefinedLevels, area_.levels,
                 [](const filters::FilterListDefinition& list) { return list.level; }) {}
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
            .On(kTypes, fw::Notify::CheckToggled, &CTabDlgFilters::ToggleType);
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

void CTabDlgFilters::ReadInto(AreaRead& read) {
    read.result = filters::FilterRegistry::Load(read.area);
}

bool CTabDlgFilters::LoadFromRegistry() {
    // An area that cannot be opened stays empty, the other is shown all the same, so "&Apply"
    // after a failed load gives back what was there.
    AreaRead read = pendingRead_.Take(&ReadInto);
    area_ = std::move(read.area);
    const common::AreaResult& result = read.result;
    filterRows_.Fill();
    levelRows_.Fill();
    filterRows_.List().SetCurSel(0);
    ShowFilter();
    levelRows_.List().SetCurSel(0);
    ShowLevel();
    return result.Ok();
}

common::AreaResult CTabDlgFilters::SaveToRegistry() {
    return filters::FilterRegistry::Save(area_);
}

filters::FilterDefinition* CTabDlgFilters::FindFilter(const std::string& name) const {
    return filters::FindFilter(area_.filters, name);
}

filters::FilterListDefinition* CTabDlgFilters::FindFilterList(const std::string& level) const {
    return filters::FindFilterList(area_.levels, level);
}

void CTabDlgFilters::ShowLevel() {
    auto& levelFilters = Item<fw::CheckListBox>(kLevelFilters);
    levelFilters.ResetContent();
    const filters::FilterListDefinition* level = levelRows_.Selected();
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
    if (filterRows_.SelectedRow() < 0) {
        if (filterRows_.List().GetCount() == 0) {
            ShowNoFilter();
        }
        return;
    }
    const filters::FilterDefinition* filter = filterRows_.Selected();
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
    const filters::FilterDefinition* filter = FindFilter(levelFilters.GetText(row));
    if (filter == nullptr) {
        return;
    }
    filterRows_.Select(filter);
    ShowFilter();
}

void CTabDlgFilters::AddLevel() {
    const std::optional<std::string> name =
        fw::TakeRowAndAdvance(Item<fw::ListBox>(kSupportedLevels));
    if (!name) {
        return;
    }
    auto& definedLevels = Item<fw::ListBox>(kDefinedLevels);
    const int existing = definedLevels.FindStringExact(-1, *name);
    if (existing >= 0) {
        definedLevels.SetCurSel(existing);
    } else {
        levelRows_.Add(filters::MakeNewFilterList(*name));
    }
    ShowLevel();
}

void CTabDlgFilters::RemoveLevel() {
    const filters::FilterListDefinition* level = levelRows_.Selected();
    if (level == nullptr || userlevels::IsDefaultLevel(level->level)) {
        return;
    }
    levelRows_.Remove(level);
    // With no level left, ShowLevel empties the level's filter list too.
    ShowLevel();
}

void CTabDlgFilters::AddFilter() {
    UpdateData(true);
    // The name becomes a registry key name, in which a backslash would open a subkey.
    if (newName_.find('\\') != std::string::npos) {
        fw::ShowMessageBox(kBackslashInName, fw::MsgIcon::Error, fw::MsgButtons::Ok);
        return;
    }
    if (filters::IsNewFilterName(area_.filters, newName_)) {
        // The name is kept as typed, blanks and all.
        filterRows_.Add(filters::MakeNewFilter(newName_));
    } else {
        const filters::FilterDefinition* existing = FindFilter(newName_);
        if (existing == nullptr) {
            return;
        }
        filterRows_.Select(existing);
    }
    ShowFilter();
}

void CTabDlgFilters::RemoveFilter() {
    const filters::FilterDefinition* filter = filterRows_.Selected();
    if (filter == nullptr) {
        return;
    }
    const std::string name = filter->name;
    if (filters::FirstListOffering(area_.levels, name) != nullptr &&
        fw::ShowMessageBox(kRemoveUsedFilterQuestion, fw::MsgIcon::Exclamation,
                           fw::MsgButtons::OkCancel) != fw::MsgAnswer::Ok) {
        return;
    }
    filters::WithdrawFromLevels(area_.levels, name);
    filterRows_.Remove(filter);
    ShowLevel();
    ShowFilter();
}

void CTabDlgFilters::MakeAvailable() {
    const filters::FilterDefinition* filter = filterRows_.Selected();
    filters::FilterListDefinition* level = levelRows_.Selected();
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
    filters::FilterListDefinition* level = levelRows_.Selected();
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
    filters::FilterListDefinition* level = levelRows_.Selected();
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
    if (filters::FilterDefinition* filter = filterRows_.Selected()) {
        filter->SetMask(mask_);
    }
}

void CTabDlgFilters::ChangeComment() {
    UpdateData(true);
    if (filters::FilterDefinition* filter = filterRows_.Selected()) {
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
    filters::FilterDefinition* filter = filterRows_.Selected();
    if (filter == nullptr) {
        UndoCheck(kShowExplode);
        return;
    }
    filter->SetShowModuleExplode(showExplode_ != 0 ? 1 : 0);
}

void CTabDlgFilters::ToggleHidden() {
    UpdateData(true);
    filters::FilterDefinition* filter = filterRows_.Selected();
    if (filter == nullptr) {
        UndoCheck(kHidden);
        return;
    }
    filter->SetShowAttrib(hidden_ != 0 ? (filter->showAttrib | filters::kShowHidden)
                                       : (filter->showAttrib & filters::kShowSystem));
}

void CTabDlgFilters::ToggleSystem() {
    UpdateData(true);
    filters::FilterDefinition* filter = filterRows_.Selected();
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
    filters::FilterDefinition* filter = filterRows_.Selected();
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
