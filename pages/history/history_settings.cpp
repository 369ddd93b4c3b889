#include "pages/history/history_settings.h"

#include "common/text_rules.h"

namespace history {

bool IsCriterionName(std::string_view valueName) {
    return valueName.size() >= kCriterionPrefix.size() &&
           common::EqualsNoCase(valueName.substr(0, kCriterionPrefix.size()), kCriterionPrefix);
}

SwitchAvailability ApplyDependencies(HistorySettings& settings) {
    SwitchAvailability available;
    if (settings.deleteRobotDirectory) {
        settings.saveHistoryBeforeRestore = true;
        available.saveHistoryBeforeRestore = false;
    }
    if (!(settings.enableFeedback && settings.generateInfoFile)) {
        settings.enableDiskCounting = false;
        for (CriterionDefinition& criterion : settings.criteria) {
            criterion.checked = false;
        }
        available.diskCountingAndCriteria = false;
    }
    if (settings.saveHistoryBeforeRestore) {
        settings.history = true;
        available.history = false;
    }
    return available;
}

std::string TrimmedHistoryPath(const HistorySettings& settings) {
    return common::Trim(settings.historyPath);
}

bool HistoryPathMissing(const HistorySettings& settings) {
    return (settings.history || settings.saveHistoryBeforeRestore) &&
           TrimmedHistoryPath(settings).empty();
}

}  // namespace history
