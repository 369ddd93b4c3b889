#include "pages/methods/tab_dlg_user_methods.h"

#include <algorithm>

#include "framework/framework.h"
#include "pages/methods/method_registry.h"
#include "resources/templates/template_132.h"

namespace {

using namespace res::t132;

constexpr methods::PropertyControls kProperties = {
    kPropertiesGroup, kSystemConditions, kItemConditions, kAskBefore, kActive, kStatus, kNumber,
};

// What the components that read the names take: 99 characters and the terminating zero.
constexpr int kNameLimit = 99;

}  // namespace

CTabDlgUserMethods::CTabDlgUserMethods()
    : CBasicDialogTab(methods::kUserMethodsArea),
      methodRows_(*this, kMethods, methods_,
                  [](const methods::MethodDefinition& method) { return method.name; }),
      properties_(*this, kProperties) {}
CTabDlgUserMethods::~CTabDlgUserMethods() = default;

const fw::MessageTableBase& CTabDlgUserMethods::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgUserMethods>(&CBasicDialogTab::GetClassMessageTable())
            .On(kMethods, fw::Notify::SelChange, &CTabDlgUserMethods::SelectionChanged)
            .On(kName, fw::Notify::TextChanged, &CTabDlgUserMethods::NameChanged)
            .On(kSystemConditions, fw::Notify::SelChange, &CTabDlgUserMethods::ShowConditionStatus)
            .On(kItemConditions, fw::Notify::SelChange, &CTabDlgUserMethods::ShowConditionStatus)
            .On(kSystemConditions, fw::Notify::CheckToggled, &CTabDlgUserMethods::ToggleCheck)
            .On(kItemConditions, fw::Notify::CheckToggled, &CTabDlgUserMethods::ToggleCheck)
            .On(kAskBefore, fw::Notify::CheckToggled, &CTabDlgUserMethods::ToggleCheck)
            .On(kActive, fw::Notify::CheckToggled, &CTabDlgUserMethods::ToggleCheck);
    return table;
}

bool CTabDlgUserMethods::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();
    properties_.FillLists();
    Item<fw::Edit>(kName).SetLimitText(kNameLimit);
    return result;
}

void CTabDlgUserMethods::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kName, nameText_);
}

void CTabDlgUserMethods::ReadInto(AreaRead& read) {
    methods::MethodRegistry::LoadUserMethods(read.methods);
}

bool CTabDlgUserMethods::LoadFromRegistry() {
    methods_ = pendingRead_.Take(&ReadInto).methods;
    methodRows_.Fill();
    methodRows_.List().SetCurSel(0);
    SelectionChanged();
    return true;
}

common::AreaResult CTabDlgUserMethods::SaveToRegistry() {
    return methods::MethodRegistry::SaveUserMethods(methods_);
}

methods::MethodDefinition* CTabDlgUserMethods::SelectedMethod() const {
    // Going by the row rather than its text keeps two methods of one name (or of no readable
    // name) apart.
    return methodRows_.Selected();
}

void CTabDlgUserMethods::SelectionChanged() {
    auto& list = Item<fw::ListBox>(kMethods);
    for (int row = 0; row < list.GetCount(); ++row) {
        if (!list.GetText(row).empty()) {
            continue;
        }
        fw::ShowMessageBox("You must specify a valid name for the user method!", fw::MsgIcon::Error,
                           fw::MsgButtons::Ok);
        list.SetCurSel(row);
        // The properties shown must be those of the row now selected, the one to be named.
        ShowSelectedMethod();
        FocusItem(kName);
        return;
    }
    ShowSelectedMethod();
}

void CTabDlgUserMethods::ShowSelectedMethod() {
    const methods::MethodDefinition* method = SelectedMethod();
    properties_.ShowMethod(method);
    nameText_ = method != nullptr ? method->name : std::string();
    properties_.ResetRows();
    UpdateData(false);
}

void CTabDlgUserMethods::NameChanged() {
    methods::MethodDefinition* method = SelectedMethod();
    if (method == nullptr) {
        return;
    }
    auto& edit = Item<fw::Edit>(kName);
    const std::string text = edit.GetText();
    const std::size_t first = std::min(text.find_first_not_of(' '), text.size());
    const std::string name = text.substr(first);
    if (first > 0) {
        // Leading blanks go at once; the caret stays where it was in the rest of the text.
        const int caret = std::max(0, edit.cursorPosition() - static_cast<int>(first));
        edit.SetText(name);
        edit.setCursorPosition(caret);
    }
    if (name.empty()) {
        // No name is no name change: the stored one stays.
        return;
    }
    method->Rename(name);
    methodRows_.Refresh(method);
    SelectionChanged();
}

void CTabDlgUserMethods::ShowConditionStatus(fw::Notification& notification) {
    properties_.ShowStatus(notification.controlId);
}

void CTabDlgUserMethods::ToggleCheck(fw::Notification& notification) {
    properties_.ApplyToggle(notification.controlId, SelectedMethod());
}
