#include "pages/methods/tab_dlg_methods.h"

#include "framework/framework.h"
#include "pages/methods/method_registry.h"
#include "resources/templates/template_131.h"

namespace {

using namespace res::t131;

constexpr methods::PropertyControls kProperties = {
    kPropertiesGroup, kSystemConditions, kItemConditions, kAskBefore, kActive, kStatus, kNumber,
};

}  // namespace

CTabDlgMethods::CTabDlgMethods() : properties_(*this, kProperties) {}
CTabDlgMethods::~CTabDlgMethods() = default;

const fw::MessageTableBase& CTabDlgMethods::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgMethods>(&CBasicDialogTab::GetClassMessageTable())
            .On(kMethods, fw::Notify::SelChange, &CTabDlgMethods::ShowSelectedMethod)
            .On(kSystemConditions, fw::Notify::SelChange, &CTabDlgMethods::ShowConditionStatus)
            .On(kItemConditions, fw::Notify::SelChange, &CTabDlgMethods::ShowConditionStatus)
            .On(kSystemConditions, fw::Notify::CheckToggled, &CTabDlgMethods::ToggleCheck)
            .On(kItemConditions, fw::Notify::CheckToggled, &CTabDlgMethods::ToggleCheck)
            .On(kAskBefore, fw::Notify::CheckToggled, &CTabDlgMethods::ToggleCheck)
            .On(kActive, fw::Notify::CheckToggled, &CTabDlgMethods::ToggleCheck)
            .OnClicked(kApply, &CTabDlgMethods::SaveToRegistry);
    return table;
}

bool CTabDlgMethods::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();
    properties_.FillLists();
    return result;
}

bool CTabDlgMethods::LoadFromRegistry() {
    auto& list = Item<fw::ListBox>(kMethods);
    list.ResetContent();
    methods::MethodRegistry::LoadBuiltIn(methods_);
    for (const auto& method : methods_) {
        list.AddString(method->name);
    }
    list.SetCurSel(0);
    ShowSelectedMethod();
    return true;
}

void CTabDlgMethods::SaveToRegistry() {
    methods::MethodRegistry::SaveBuiltIn(methods_);
}

methods::MethodDefinition* CTabDlgMethods::SelectedMethod() const {
    // Rows are the records in list order. Going by the row rather than its text keeps two
    // methods of one name (or of no readable name) apart.
    const int row = Item<fw::ListBox>(kMethods).GetCurSel();
    if (row < 0 || row >= static_cast<int>(methods_.size())) {
        return nullptr;
    }
    return methods_[static_cast<std::size_t>(row)].get();
}

void CTabDlgMethods::ShowSelectedMethod() {
    properties_.ShowMethod(SelectedMethod());
    properties_.ResetRows();
}

void CTabDlgMethods::ShowConditionStatus(fw::Notification& notification) {
    properties_.ShowStatus(notification.controlId);
}

void CTabDlgMethods::ToggleCheck(fw::Notification& notification) {
    properties_.ApplyToggle(notification.controlId, SelectedMethod());
}
