#include "pages/history/tab_dlg_history.h"

#include <string>

#include "dialogs/dlg_browse_dir.h"
#include "framework/framework.h"
#include "pages/common/decimal_text.h"
#include "pages/history/history_registry.h"
#include "platform/beep.h"
#include "resources/templates/template_139.h"

namespace {

using namespace res::t139;

// What the load reads a history path into holds 99 characters and the zero.
constexpr int kHistoryPathCharacters = 99;
// The archive manager keeps at most 99 history traces.
constexpr int kCountDigits = 2;
constexpr unsigned kBeepHz = 1000;
constexpr unsigned kBeepMs = 50;

}  // namespace

CTabDlgHistory::CTabDlgHistory() : CBasicDialogTab(history::kHistoryArea) {}
CTabDlgHistory::~CTabDlgHistory() = default;

const fw::MessageTableBase& CTabDlgHistory::GetMessageTable() const {
    static const auto table =
        fw::MessageTable<CTabDlgHistory>(&CBasicDialogTab::GetClassMessageTable())
            .OnClicked(kEnableFeedback, &CTabDlgHistory::SwitchClicked)
            .OnClicked(kDeleteRobotDirectory, &CTabDlgHistory::SwitchClicked)
            .OnClicked(kHistory, &CTabDlgHistory::SwitchClicked)
            .OnClicked(kSaveHistoryBeforeRestore, &CTabDlgHistory::SwitchClicked)
            .OnClicked(kGenerateInfoFile, &CTabDlgHistory::SwitchClicked)
            .OnClicked(kEnableDiskCounting, &CTabDlgHistory::SwitchClicked)
            .On(kMaxHistoryCount, fw::Notify::TextChanged, &CTabDlgHistory::LimitCount)
            .OnClicked(kBrowse, &CTabDlgHistory::BrowseForPath);
    return table;
}

bool CTabDlgHistory::OnInitDialog() {
    const bool result = fw::Dialog::OnInitDialog();
    Item<fw::Edit>(kHistoryPath).SetLimitText(kHistoryPathCharacters);
    return result;
}

void CTabDlgHistory::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kHistoryPath, settings_.historyPath);
    exchange.Text(kMaxHistoryCount, settings_.maxHistoryCount);
    exchange.Check(kEnableFeedback, settings_.enableFeedback);
    exchange.Check(kSaveHistoryBeforeRestore, settings_.saveHistoryBeforeRestore);
    exchange.Check(kHistory, settings_.history);
    exchange.Check(kDeleteRobotDirectory, settings_.deleteRobotDirectory);
    exchange.Check(kGenerateInfoFile, settings_.generateInfoFile);
    exchange.Check(kEnableDiskCounting, settings_.enableDiskCounting);
    // Row i of the criteria list is criterion i.
    auto& criteria = Item<fw::CheckListBox>(kCriteria);
    for (std::size_t row = 0; row < settings_.criteria.size(); ++row) {
        history::CriterionDefinition& criterion = settings_.criteria[row];
        if (exchange.FromControls()) {
            criterion.checked = criteria.GetCheck(static_cast<int>(row));
        } else {
            criteria.SetCheck(static_cast<int>(row), criterion.checked);
        }
    }
}

void CTabDlgHistory::ReadInto(AreaRead& read) {
    read.loaded = history::HistoryRegistry::Load(read.settings).Ok();
}

bool CTabDlgHistory::LoadFromRegistry() {
    auto& criteria = Item<fw::CheckListBox>(kCriteria);
    criteria.ResetContent();
    AreaRead read = pendingRead_.Take(&ReadInto);
    settings_ = std::move(read.settings);
    if (!read.loaded) {
        return false;
    }
    for (const history::CriterionDefinition& criterion : settings_.criteria) {
        criteria.AddString(criterion.name);
    }
    ApplyDependencies();
    return true;
}

void CTabDlgHistory::ApplyDependencies() {
    const history::SwitchAvailability available = history::ApplyDependencies(settings_);
    EnableItem(kSaveHistoryBeforeRestore, available.saveHistoryBeforeRestore);
    EnableItem(kEnableDiskCounting, available.diskCountingAndCriteria);
    EnableItem(kCriteria, available.diskCountingAndCriteria);
    EnableItem(kHistory, available.history);
    UpdateData(false);
}

common::AreaResult CTabDlgHistory::SaveToRegistry() {
    UpdateData(true);
    ApplyDependencies();
    settings_.historyPath = history::TrimmedHistoryPath(settings_);
    if (history::HistoryPathMissing(settings_)) {
        fw::ShowMessageBox("You must specify a path to save the history first!", fw::MsgIcon::Error,
                           fw::MsgButtons::Ok);
        fw::ShowMessageBox("No changes have been made to the registries!", fw::MsgIcon::Information,
                           fw::MsgButtons::Ok);
        return common::AreaResult(history::kHistoryArea);
    }
    const common::AreaResult result = history::HistoryRegistry::Save(settings_);
    if (!result.Ok()) {
        return result;
    }
    // Show what was written, so a reload shows nothing new: the count as its number (an empty
    // or "07" count is stored as 0 or 7) and the path without its blanks.
    settings_.maxHistoryCount =
        std::to_string(common::AtoiRuleUnsigned32(settings_.maxHistoryCount));
    UpdateData(false);
    return result;
}

std::string CTabDlgHistory::SaveFailureText() const {
    // An Archive key that cannot be opened for writing is passed over in silence.
    return {};
}

void CTabDlgHistory::SwitchClicked() {
    UpdateData(true);
    ApplyDependencies();
}

void CTabDlgHistory::LimitCount() {
    UpdateData(true);
    if (settings_.maxHistoryCount.size() <= static_cast<std::size_t>(kCountDigits)) {
        return;
    }
    platform::SoundBeep(kBeepHz, kBeepMs);
    settings_.maxHistoryCount.resize(kCountDigits);
    UpdateData(false);
    Item<fw::Edit>(kMaxHistoryCount).SetSel(kCountDigits, kCountDigits);
}

void CTabDlgHistory::BrowseForPath() {
    CDlgBrowseDir picker;  // folders only
    if (picker.DoModal(this) == fw::kIdCancel) {
        return;
    }
    // Criteria marks and typed text have no handler of their own; take them first, so showing
    // the new path does not put back what they held before.
    UpdateData(true);
    // The archive manager takes the path as chosen: no lower-casing, no short form.
    settings_.historyPath = picker.path;
    UpdateData(false);
}
