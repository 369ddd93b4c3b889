#include "tests/framework/test_dialogs.h"

namespace fwtest {

using namespace res::t900;

const fw::MessageTableBase& PageDialog::GetClassMessageTable() {
    static const auto table =
        fw::MessageTable<PageDialog>(&fw::Dialog::GetClassMessageTable())
            .OnClicked(kAddButton, &PageDialog::AddClicked)
            .OnClicked(kApply, &PageDialog::ApplyClicked)
            .OnClicked(kCheck, &PageDialog::CheckClicked)
            .On(kSortedList, fw::Notify::SelChange, &PageDialog::SortedSelChange)
            .On(kPlainList, fw::Notify::SelChange, &PageDialog::PlainSelChange)
            .On(kPlainList, fw::Notify::DoubleClicked, &PageDialog::PlainDoubleClick)
            .On(kCheckList, fw::Notify::SelChange, &PageDialog::CheckListSelChange)
            .On(kCheckList, fw::Notify::CheckToggled, &PageDialog::CheckListToggled)
            .On(kCombo, fw::Notify::SelChange, &PageDialog::ComboSelChange)
            .On(kCombo, fw::Notify::SelAccept, &PageDialog::ComboAccepted)
            .On(kNumberEdit, fw::Notify::TextChanged, &PageDialog::NumberChanged)
            .On(kTextEdit, fw::Notify::TextChanged, &PageDialog::TextChanged)
            .On(kTree, fw::Notify::SelChange, &PageDialog::TreeSel)
            .On(kTree, fw::Notify::ItemChecked, &PageDialog::TreeChecked)
            .On(kReport, fw::Notify::ItemChanged, &PageDialog::ReportChanged)
            .OnUpDown(kUpDown, &PageDialog::UpDownRequest);
    return table;
}

bool PageDialog::OnInitDialog() {
    initRan = true;
    return true;
}

void PageDialog::ExchangeData(fw::DataExchange& exchange) {
    exchange.Check(kCheck, checked);
    exchange.Text(kTextEdit, text);
    exchange.Unsigned(kNumberEdit, number);
    exchange.Int(kSignedEdit, signedNumber);
    exchange.ListIndex(kPlainList, plainIndex);
}

bool PageDialog::PreTranslateKey(const fw::KeyMessage& message) {
    keys.push_back(message);
    return consumeKey != 0 && message.virtualKey == consumeKey;
}

void PageDialog::CheckListToggled(fw::Notification& n) {
    auto& list = Item<fw::CheckListBox>(kCheckList);
    Log("checklist:toggle:" + std::to_string(n.row) + ":sel" + std::to_string(list.GetCurSel()) +
        ":" + (list.GetCheck(n.row) ? "on" : "off"));
}

void PageDialog::ComboAccepted(fw::Notification& n) {
    Log("combo:accept:" + std::to_string(n.row));
}

void PageDialog::TreeSel(fw::Notification& n) {
    Log("tree:sel:" + Item<fw::TreeView>(kTree).GetItemText(n.item));
}

void PageDialog::TreeChecked(fw::Notification& n) {
    auto& tree = Item<fw::TreeView>(kTree);
    Log("tree:check:" + tree.GetItemText(n.item) + ":" + (tree.GetCheck(n.item) ? "on" : "off"));
}

void PageDialog::ReportChanged(fw::Notification& n) {
    Log("report:changed:" + std::to_string(n.row));
}

int PageDialog::UpDownRequest(int delta) {
    Log("updown:" + std::to_string(delta));
    return upDownResult;
}

const fw::MessageTableBase& MainLikeDialog::GetClassMessageTable() {
    using namespace res::t902;
    static const auto table =
        fw::MessageTable<MainLikeDialog>()
            .On(kTabs, fw::Notify::SelChange, &MainLikeDialog::TabChanged)
            .OnCommandRange(kFirstTabCommand, kLastTabCommand, &MainLikeDialog::TabCommand)
            .OnCommand(kExitCommand, &MainLikeDialog::Exit);
    return table;
}

bool MainLikeDialog::OnInitDialog() {
    auto& tabs = Item<fw::TabControl>(res::t902::kTabs);
    tabs.InsertItem(0, "First");
    tabs.InsertItem(1, "Second");
    tabs.InsertItem(2, "Third");
    tabs.SetCurSel(0);
    return true;
}

void MainLikeDialog::TabChanged(fw::Notification& n) {
    log.push_back("tab:" + std::to_string(Item<fw::TabControl>(n.controlId).GetCurSel()));
    n.result = 0;
}

void MainLikeDialog::TabCommand(int id) {
    Item<fw::TabControl>(res::t902::kTabs).SetCurSel(id - res::t902::kFirstTabCommand);
    log.push_back("tabcommand:" + std::to_string(id));
}

bool PickerDialog::OnInitDialog() {
    auto& list = Item<fw::ListBox>(res::t901::kList);
    list.ResetContent();
    for (const std::string& entry : entries) {
        list.AddString(entry);
    }
    UpdateData(false);
    return true;
}

void PickerDialog::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(res::t901::kName, name);
    exchange.ListIndex(res::t901::kList, listIndex);
}

}  // namespace fwtest
