#include "pages/history/history_registry.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pages/common/decimal_text.h"
#include "pages/common/text_rules.h"
#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/value_query.h"
#include "registry/win_registry.h"

namespace history {
namespace {

// The switch a value name stands for, or null.
bool* SwitchOf(HistorySettings& settings, const std::string& name) {
    struct Entry {
        const char* valueName;
        bool HistorySettings::*field;
    };
    static constexpr Entry kSwitches[] = {
        {kEnableFeedbackValue, &HistorySettings::enableFeedback},
        {kDeleteRobotDirectoryValue, &HistorySettings::deleteRobotDirectory},
        {kEnableDiskCountingValue, &HistorySettings::enableDiskCounting},
        {kHistoryValue, &HistorySettings::history},
        {kSaveHistoryBeforeRestoreValue, &HistorySettings::saveHistoryBeforeRestore},
        {kGenerateInfoFileValue, &HistorySettings::generateInfoFile},
    };
    for (const Entry& entry : kSwitches) {
        if (common::EqualsNoCase(name, entry.valueName)) {
            return &(settings.*entry.field);
        }
    }
    return nullptr;
}

void LoadPath(HKEY archive, const registry::RegValue& value, HistorySettings& settings) {
    std::string text;
    if (registry::QueryWholeString(archive, value.name.c_str(), &text) != ERROR_SUCCESS) {
        text.clear();
    }
    if (!registry::HoldsText(value, text)) {
        settings.keptPath = KeptPath{value, text};
    }
    settings.historyPath = std::move(text);
}

}  // namespace

common::AreaResult HistoryRegistry::Load(HistorySettings& settings) {
    common::AreaResult result(kHistoryArea);
    settings.criteria.clear();
    registry::RegistryBatch batch;
    RegistryKey archive;
    if (!common::OpenAreaKey(archive, kArchiveKeyPath, KEY_ALL_ACCESS, result)) {
        return result;
    }
    settings.keptPath.reset();
    // Every value whole, however long its name or data; an unreadable entry is passed over.
    registry::KeySnapshot values;
    registry::ReadKeyValues(archive, &values);
    for (const registry::RegValue& value : values.values) {
        const std::uint32_t number = registry::DwordOf(value).value_or(0);
        if (bool* flag = SwitchOf(settings, value.name)) {
            *flag = number != 0;
        } else if (common::EqualsNoCase(value.name, kMaxHistoryCountValue)) {
            settings.maxHistoryCount = std::to_string(number);
        } else if (common::EqualsNoCase(value.name, kHistoryPathValue)) {
            LoadPath(archive, value, settings);
        } else if (IsCriterionName(value.name)) {
            settings.criteria.push_back(CriterionDefinition{value.name, number != 0});
        }
    }
    return result;
}

common::AreaResult HistoryRegistry::Save(const HistorySettings& settings) {
    common::AreaResult result(kHistoryArea);
    registry::RegistryBatch batch;
    RegistryKey archive;
    if (!common::OpenAreaKey(archive, kArchiveKeyPath, KEY_READ | KEY_WRITE, result)) {
        return result;
    }
    for (const CriterionDefinition& criterion : settings.criteria) {
        archive.SetNumber(criterion.name.c_str(),
                          criterion.checked && settings.enableFeedback ? 1 : 0);
    }
    archive.SetNumber(kEnableFeedbackValue, settings.enableFeedback ? 1 : 0);
    archive.SetNumber(kDeleteRobotDirectoryValue, settings.deleteRobotDirectory ? 1 : 0);
    archive.SetNumber(kEnableDiskCountingValue, settings.enableDiskCounting ? 1 : 0);
    archive.SetNumber(kHistoryValue, settings.history ? 1 : 0);
    archive.SetNumber(kSaveHistoryBeforeRestoreValue, settings.saveHistoryBeforeRestore ? 1 : 0);
    archive.SetNumber(kGenerateInfoFileValue, settings.generateInfoFile ? 1 : 0);
    archive.SetNumber(kMaxHistoryCountValue, common::AtoiRuleUnsigned32(settings.maxHistoryCount));
    const bool pathAsLoaded =
        settings.keptPath && settings.historyPath == settings.keptPath->shownText;
    if (!pathAsLoaded) {
        archive.SetString(kHistoryPathValue, settings.historyPath.c_str());
    }
    return result;
}

}  // namespace history
