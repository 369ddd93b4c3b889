#include "pages/display/tab_dlg_display.h"

#include <algorithm>
#include <optional>
#include <string>

#include "framework/framework.h"
#include "pages/common/decimal_text.h"
#include "pages/common/user_levels.h"
#include "pages/display/display_registry.h"
#include "resources/templates/template_129.h"

namespace {

using namespace res::t129;

// The width edit takes what fits a 32-bit number without question.
constexpr int kWidthDigits = 9;

bool IsOneOfTheLists(int id) {
    return id == kSupportedLevels || id == kDefinedLevels || id == kSupportedColumns ||
           id == kDefinedColumns;
}

}  // namespace

CTabDlgDisplay::CTabDlgDisplay()
    : CBasicDialogTab(display::kDisplayArea),
      levelRows_(*this, kDefinedLevels, area_.levels,
                 [](const display::LevelDefinition& level) { return level.name; }) {}
CTabDlgDisplay::~CTabDlgDisplay() = default;

const fw::MessageTableBase& CTabDlgDisplay::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgDisplay>(&CBasicDialogTab::GetClassMessageTable())
            .OnClicked(kAddLevel, &CTabDlgDisplay::AddLevel)
            .OnClicked(kRemoveLevel, &CTabDlgDisplay::RemoveLevel)
            .On(kDefinedLevels, fw::Notify::SelChange, &CTabDlgDisplay::ShowLevel)
            .On(kDefinedColumns, fw::Notify::SelChange, &CTabDlgDisplay::ShowColumn)
            .OnClicked(kAddColumn, &CTabDlgDisplay::AddColumn)
            .OnClicked(kRemoveColumn, &CTabDlgDisplay::RemoveColumn)
            .OnUpDown(kMoveColumn, &CTabDlgDisplay::MoveColumnRequested)
            .On(kSortColumn, fw::Notify::SelAccept, &CTabDlgDisplay::ChooseSortColumn)
            .OnClicked(kSortDescending, &CTabDlgDisplay::ToggleDescending)
            .On(kColumnWidth, fw::Notify::TextChanged, &CTabDlgDisplay::ChangeWidth)
            .On(kVolumes, fw::Notify::CheckToggled, &CTabDlgDisplay::ToggleVolume);
    return table;
}

bool CTabDlgDisplay::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();

    Item<fw::ListBox>(kSupportedLevels).AddTable(userlevels::kLevelListNames);
    Item<fw::ListBox>(kSupportedColumns).AddTable(display::kColumnTable);
    Item<fw::CheckListBox>(kVolumes).AddTable(display::kVolumeTable);

    auto& width = Item<fw::Edit>(kColumnWidth);
    width.SetDigitsOnly(true);
    width.SetLimitText(kWidthDigits);
    return result;
}

void CTabDlgDisplay::ExchangeData(fw::DataExchange& exchange) {
    // The check box first: a width that is no number must not cost the descending flag.
    exchange.Check(kSortDescending, descending_);
    exchange.Unsigned(kColumnWidth, width_);
}

void CTabDlgDisplay::ReadInto(AreaRead& read) {
    read.opened = display::DisplayRegistry::Load(read.area).Ok();
}

bool CTabDlgDisplay::LoadFromRegistry() {
    AreaRead read = pendingRead_.Take(&ReadInto);
    area_ = std::move(read.area);
    const bool opened = read.opened;
    levelRows_.Fill();
    if (!opened) {
        // No level to show; the caption must not go on naming one that is gone.
        ShowLevel();
        return false;
    }
    levelRows_.List().SetCurSel(0);
    ShowLevel();

    if (area_.levels.empty()) {
        // An existing but empty area gets the default level at once.
        auto& supportedLevels = Item<fw::ListBox>(kSupportedLevels);
        supportedLevels.SetCurSel(
            supportedLevels.FindStringExact(-1, std::string(userlevels::kDefaultLevelName)));
        AddLevel();
        ApplyToRegistry();
    }
    return true;
}

common::AreaResult CTabDlgDisplay::SaveToRegistry() {
    return display::DisplayRegistry::Save(area_);
}

display::LevelDefinition* CTabDlgDisplay::FindLevel(int row) const {
    return levelRows_.At(row);
}

display::ColumnDefinition* CTabDlgDisplay::FindColumn(const std::string& name,
                                                      const display::LevelDefinition* level) {
    return level == nullptr ? nullptr : level->FindColumn(name);
}

display::ColumnDefinition* CTabDlgDisplay::ColumnOfRow(const display::LevelDefinition* level,
                                                       int row) const {
    // Rows of the defined-columns list are the columns' positions; going by the position rather
    // than the row's text keeps two columns of one name (or of no readable name) apart.
    if (level == nullptr || row < 0 || row >= Item<fw::ListBox>(kDefinedColumns).GetCount()) {
        return nullptr;
    }
    return level->ColumnAt(row);
}

void CTabDlgDisplay::SelectSortEntry(const display::LevelDefinition& level) {
    auto& sortList = Item<fw::ComboBox>(kSortColumn);
    int entry = -1;
    if (const display::ColumnDefinition* sortColumn = level.ColumnAt(level.sortColumn)) {
        entry = sortList.FindStringExact(-1, sortColumn->name);
    }
    sortList.SetCurSel(entry >= 0 ? entry : 0);
}

void CTabDlgDisplay::ShowLevel() {
    auto& definedLevels = Item<fw::ListBox>(kDefinedLevels);
    auto& definedColumns = Item<fw::ListBox>(kDefinedColumns);
    auto& sortList = Item<fw::ComboBox>(kSortColumn);

    currentLevel_ = definedLevels.GetCurSel();
    definedColumns.ResetContent();
    sortList.ResetContent();

    const display::LevelDefinition* level = FindLevel(currentLevel_);
    if (level == nullptr) {
        SetItemText(kPropertiesGroup, "No levels defined ");
        return;
    }
    int sortEntry = 0;
    for (const display::ColumnDefinition* column : level->ColumnsInOrder()) {
        definedColumns.AddString(column->name);
        if (column->sortable) {
            const int entry = sortList.AddString(column->name);
            if (column->position == level->sortColumn) {
                sortEntry = entry;
            }
        }
    }
    descending_ = level->descending;
    UpdateData(false);

    auto& volumes = Item<fw::CheckListBox>(kVolumes);
    for (int row = 0; row < static_cast<int>(display::kVolumeTable.size()); ++row) {
        volumes.SetCheck(row, (level->volumes >> row) & 1u);
    }
    definedColumns.SetCurSel(0);
    ShowColumn();
    sortList.SetCurSel(sortEntry);
    SetItemText(kPropertiesGroup, "Properties for level: " + level->name + " ");
}

void CTabDlgDisplay::ShowColumn() {
    auto& definedColumns = Item<fw::ListBox>(kDefinedColumns);
    if (definedColumns.GetCurSel() < 0) {
        if (definedColumns.GetCount() == 0) {
            return;
        }
        definedColumns.SetCurSel(0);
    }
    currentColumn_ = definedColumns.GetCurSel();
    if (const display::ColumnDefinition* column =
            ColumnOfRow(FindLevel(currentLevel_), currentColumn_)) {
        width_ = column->width;
    }
    UpdateData(false);
}

void CTabDlgDisplay::AddLevel() {
    const std::optional<std::string> name =
        fw::TakeRowAndAdvance(Item<fw::ListBox>(kSupportedLevels));
    if (!name) {
        return;
    }
    if (const display::LevelDefinition* existing = display::FindLevelByName(area_.levels, *name)) {
        levelRows_.Select(existing);
    } else {
        levelRows_.Add(display::MakeNewLevel(*name));
    }
    ShowLevel();
}

void CTabDlgDisplay::RemoveLevel() {
    const display::LevelDefinition* level = FindLevel(currentLevel_);
    if (level == nullptr || userlevels::IsDefaultLevel(level->name)) {
        return;
    }
    levelRows_.RemoveAt(currentLevel_);
    ShowLevel();
}

void CTabDlgDisplay::AddColumn() {
    auto& definedColumns = Item<fw::ListBox>(kDefinedColumns);
    const std::optional<std::string> taken =
        fw::TakeRowAndAdvance(Item<fw::ListBox>(kSupportedColumns));
    if (!taken) {
        return;
    }
    const std::string& name = *taken;

    display::LevelDefinition* level = FindLevel(currentLevel_);
    if (level == nullptr) {
        return;
    }
    if (const display::ColumnDefinition* existing = level->FindColumn(name)) {
        definedColumns.SetCurSel(existing->position);
        ShowColumn();
        return;
    }
    const display::ColumnDefinition& column = level->AddColumn(name);
    definedColumns.SetCurSel(definedColumns.AddString(column.name));
    ShowColumn();
    auto& sortList = Item<fw::ComboBox>(kSortColumn);
    if (column.sortable && sortList.FindStringExact(-1, column.name) < 0) {
        sortList.AddString(column.name);
    }
}

void CTabDlgDisplay::RemoveColumn() {
    display::LevelDefinition* level = FindLevel(currentLevel_);
    const display::ColumnDefinition* column = ColumnOfRow(level, currentColumn_);
    if (column == nullptr || common::EqualsNoCase(column->name, display::kLabelColumn)) {
        return;
    }
    const std::string name = column->name;
    const int row = column->position;
    // Destroys the column, closes the gap and keeps the sort column on its column (the first
    // column when the sort column itself goes).
    level->RemoveColumn(column);

    auto& definedColumns = Item<fw::ListBox>(kDefinedColumns);
    definedColumns.DeleteString(row);
    currentColumn_ = std::min(row, definedColumns.GetCount() - 1);
    definedColumns.SetCurSel(currentColumn_);
    ShowColumn();

    auto& sortList = Item<fw::ComboBox>(kSortColumn);
    const int entry = sortList.FindStringExact(-1, name);
    // Another column of the same name still needs its entry.
    if (entry >= 0 && level->FindColumn(name) == nullptr) {
        sortList.DeleteString(entry);
    }
    SelectSortEntry(*level);
}

int CTabDlgDisplay::MoveColumnRequested(int delta) {
    MoveColumn(delta);
    return 0;
}

void CTabDlgDisplay::MoveColumn(int delta) {
    auto& definedColumns = Item<fw::ListBox>(kDefinedColumns);
    if ((currentColumn_ == 0 && delta < 0) ||
        (currentColumn_ == definedColumns.GetCount() - 1 && delta > 0)) {
        return;
    }
    display::LevelDefinition* level = FindLevel(currentLevel_);
    if (level == nullptr) {
        return;
    }
    currentColumn_ = definedColumns.GetCurSel();
    if (currentColumn_ < 0) {
        ShowColumn();
        return;
    }
    display::ColumnDefinition* column = ColumnOfRow(level, currentColumn_);
    // Refuses "Label", a move into the first place and one past either end; the sort column
    // stays on its column.
    if (column == nullptr || !level->MoveColumn(column, delta)) {
        return;
    }
    const int target = column->position;
    definedColumns.DeleteString(currentColumn_);
    definedColumns.InsertString(target, column->name);
    currentColumn_ = target;
    definedColumns.SetCurSel(target);
}

void CTabDlgDisplay::ChooseSortColumn() {
    display::LevelDefinition* level = FindLevel(currentLevel_);
    if (level == nullptr) {
        return;
    }
    if (const display::ColumnDefinition* column =
            level->FindColumn(Item<fw::ComboBox>(kSortColumn).GetText())) {
        level->sortColumn = column->position;
    }
}

void CTabDlgDisplay::ToggleDescending() {
    UpdateData(true);
    if (display::LevelDefinition* level = FindLevel(currentLevel_)) {
        level->descending = descending_;
    }
}

void CTabDlgDisplay::ChangeWidth() {
    if (display::ColumnDefinition* column = ColumnOfRow(FindLevel(currentLevel_), currentColumn_)) {
        column->width = common::AtoiRuleUnsigned32(GetItemText(kColumnWidth));
    }
}

void CTabDlgDisplay::ToggleVolume() {
    auto& volumes = Item<fw::CheckListBox>(kVolumes);
    const int row = volumes.GetCurSel();
    display::LevelDefinition* level = FindLevel(currentLevel_);
    if (level == nullptr || row < 0 || row >= static_cast<int>(display::kVolumeTable.size())) {
        return;
    }
    const std::uint32_t bit = 1u << row;
    level->volumes = volumes.GetCheck(row) ? (level->volumes | bit) : (level->volumes & ~bit);
}

bool CTabDlgDisplay::PreTranslateKey(const fw::KeyMessage& message) {
    const int id = message.controlId;
    if (!IsOneOfTheLists(id)) {
        return CBasicDialogTab::PreTranslateKey(message);
    }
    if (message.action == fw::KeyAction::Release) {
        // A held key repeats its presses (and, on some systems, releases); only the real
        // release acts, once.
        if (message.autoRepeat) {
            return CBasicDialogTab::PreTranslateKey(message);
        }
        const bool pressedHere = keyDownList_ == id;
        keyDownList_ = 0;
        if (pressedHere) {
            if (message.virtualKey == fw::kVkReturn && id == kSupportedLevels) {
                AddLevel();
            } else if (message.virtualKey == fw::kVkDelete && id == kDefinedLevels) {
                RemoveLevel();
            } else if (message.virtualKey == fw::kVkReturn && id == kSupportedColumns) {
                AddColumn();
            } else if (message.virtualKey == fw::kVkDelete && id == kDefinedColumns) {
                RemoveColumn();
            }
        }
        return CBasicDialogTab::PreTranslateKey(message);
    }
    if (id == kDefinedColumns &&
        (message.virtualKey == fw::kVkLeft || message.virtualKey == fw::kVkRight)) {
        MoveColumn(message.virtualKey == fw::kVkLeft ? -1 : +1);
        return true;
    }
    keyDownList_ = id;
    return CBasicDialogTab::PreTranslateKey(message);
}
