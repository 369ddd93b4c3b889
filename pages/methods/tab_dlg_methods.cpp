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

CTabDlgMethods::CTabDlgMethods()
    : CBasicDialogTab(methods::kMethodsArea),
      methodRows_(*this, kMethods, methods_,
                  [](const methods::MethodDefinition& method) { return method.name; }),
      properties_(*this, kProperties) {}
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
            .On(kActive, fw::Notify::CheckToggled, &CTabDlgMethods::ToggleCheck);
    return table;
}

bool CTabDlgMethods::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();
    properties_.FillLists();
    return result;
}

void CTabDlgMethods::ReadInto(AreaRead& read) {
    methods::MethodRegistry::LoadBuiltIn(read.methods);
}

bool CTabDlgMethods::LoadFromRegistry() {
    methods_ = pendingRead_.Take(&ReadInto).methods;
    methodRows_.Fill();
    methodRows_.List().SetCurSel(0);
    ShowSelectedMethod();
    return true;
}

common::AreaResult CTabDlgMethods::SaveToRegistry() {
    return methods::MethodRegistry::SaveBuiltIn(methods_);
}

methods::MethodDefinition* CTabDlgMethods::SelectedMethod() const {
    // Going by the row rather than its text keeps two methods of one name (or of no readable
    // name) apart.
    return methodRows_.Selected();
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
