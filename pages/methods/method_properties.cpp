#include "pages/methods/method_properties.h"

#include "framework/framework.h"
#include "pages/common/user_levels.h"

namespace methods {
namespace {

template <std::size_t N>
void FillConditionList(fw::CheckListBox& list, const std::array<ConditionRow, N>& table) {
    list.ResetContent();
    for (const ConditionRow& row : table) {
        const int index = list.AddString(std::string(row.listText));
        list.SetItemData(index, row.Mask());
    }
}

void FillLevelList(fw::CheckListBox& list) {
    list.ResetContent();
    for (const userlevels::MethodLevel& level : userlevels::kMethodLevels) {
        const int index = list.AddString(std::string(level.name));
        list.SetItemData(index, level.bit);
    }
}

// Checks each row whose bits are all set in the method's mask; with no method, none.
void ShowMask(fw::CheckListBox& list, const MethodDefinition* method, MethodMask which) {
    for (int row = 0; row < list.GetCount(); ++row) {
        const auto rowMask = static_cast<std::uint32_t>(list.GetItemData(row));
        list.SetCheck(row, method != nullptr && IsRowChecked(method->Mask(which), rowMask));
    }
}

}  // namespace

MethodProperties::MethodProperties(fw::Dialog& page, const PropertyControls& ids)
    : page_(page), ids_(ids) {}

void MethodProperties::FillLists() {
    FillConditionList(page_.Item<fw::CheckListBox>(ids_.systemConditions), kSystemConditions);
    FillConditionList(page_.Item<fw::CheckListBox>(ids_.itemConditions), kItemConditions);
    FillLevelList(page_.Item<fw::CheckListBox>(ids_.askBefore));
    FillLevelList(page_.Item<fw::CheckListBox>(ids_.active));
}

void MethodProperties::ShowMethod(const MethodDefinition* method) {
    ShowMask(page_.Item<fw::CheckListBox>(ids_.askBefore), method, MethodMask::AskBefore);
    ShowMask(page_.Item<fw::CheckListBox>(ids_.active), method, MethodMask::Active);
    ShowMask(page_.Item<fw::CheckListBox>(ids_.itemConditions), method, MethodMask::ItemConditions);
    ShowMask(page_.Item<fw::CheckListBox>(ids_.systemConditions), method,
             MethodMask::SystemConditions);
    if (method != nullptr) {
        page_.SetItemText(ids_.caption, "Properties for: " + method->name + " ");
        page_.SetItemText(ids_.number, "Modul proc for " + method->name + " is " +
                                           std::to_string(method->number));
    } else {
        page_.SetItemText(ids_.caption, "Properties for: Unknown method ");
        page_.SetItemText(ids_.number, "Unknown modul proc");
    }
}

void MethodProperties::ResetRows() {
    for (int id : {ids_.itemConditions, ids_.systemConditions, ids_.askBefore, ids_.active}) {
        page_.Item<fw::CheckListBox>(id).SetCurSel(0);
    }
    ShowStatus(ids_.itemConditions);
}

void MethodProperties::ShowStatus(int listId) {
    const int row = page_.Item<fw::CheckListBox>(listId).GetCurSel();
    if (listId == ids_.systemConditions && row >= 0 &&
        row < static_cast<int>(kSystemConditions.size())) {
        page_.SetItemText(ids_.status,
                          "System condition: " + std::string(kSystemConditions[row].description));
    } else if (listId == ids_.itemConditions && row >= 0 &&
               row < static_cast<int>(kItemConditions.size())) {
        page_.SetItemText(ids_.status,
                          "Item condition: " + std::string(kItemConditions[row].description));
    }
}

void MethodProperties::ApplyToggle(int listId, MethodDefinition* method) {
    if (method == nullptr || !IsCheckList(listId)) {
        return;
    }
    auto& list = page_.Item<fw::CheckListBox>(listId);
    const int row = list.GetCurSel();
    if (row < 0 || row >= list.GetCount()) {
        return;
    }
    // Condition rows carry their mask; level row r stands for bit r.
    const bool isLevelList = listId == ids_.askBefore || listId == ids_.active;
    const std::uint32_t bits =
        isLevelList ? (1u << row) : static_cast<std::uint32_t>(list.GetItemData(row));
    std::uint32_t& mask = method->Mask(MaskOfList(listId));
    mask = WithBits(mask, bits, list.GetCheck(row));
}

bool MethodProperties::IsCheckList(int id) const {
    return id == ids_.systemConditions || id == ids_.itemConditions || id == ids_.askBefore ||
           id == ids_.active;
}

MethodMask MethodProperties::MaskOfList(int listId) const {
    if (listId == ids_.systemConditions) {
        return MethodMask::SystemConditions;
    }
    if (listId == ids_.itemConditions) {
        return MethodMask::ItemConditions;
    }
    if (listId == ids_.askBefore) {
        return MethodMask::AskBefore;
    }
    return MethodMask::Active;
}

}  // namespace methods
