#include "pages/templates/templates_registry.h"

#include <utility>

#include "pages/common/controller_path.h"
#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/value_query.h"
#include "registry/win_registry.h"

namespace templates {
namespace {

const char* const kEditMask = "EditMask";
const char* const kComment = "Comment";
const char* const kFastCreate = "FastCreate";

// Reads a text of the layout as its query reads it. One the save would write back with the
// same bytes is the record's alone; any other stays in `kept` to be written back as it was.
void ReadText(const char* valueName, std::string& text, registry::KeySnapshot& kept) {
    if (registry::WholeStringOf(kept.FindValue(valueName), &text) != ERROR_SUCCESS) {
        return;
    }
    registry::TakeOverText(kept, valueName, text);
}

// The records are made from the copy the load reads of both roots (kept for the journal before
// the save).
std::unique_ptr<TemplateDefinition> LoadTemplate(registry::KeySnapshot key) {
    auto record = std::make_unique<TemplateDefinition>();
    record->name = std::move(key.name);
    registry::KeySnapshot& kept = record->kept;
    kept.values = std::move(key.values);
    kept.subkeys = std::move(key.subkeys);
    ReadText("", record->fullPath, kept);
    ReadText(kComment, record->comment, kept);
    ReadText(kEditMask, record->editMask, kept);
    const registry::RegValue* fastCreate = kept.FindValue(kFastCreate);
    record->fastCreate = registry::NumberOf(fastCreate).value_or(0);
    if (fastCreate && registry::DwordOf(*fastCreate).has_value()) {
        kept.RemoveValue(kFastCreate);
    }
    // The level names count only as spelt; the key is the page's and is written anew.
    if (const registry::KeySnapshot* disabled = kept.FindSubkey(kDisabledUserLevelKey)) {
        for (const registry::RegValue& value : disabled->values) {
            for (std::size_t i = 0; i < kLevelCount; ++i) {
                if (value.name == userlevels::kTemplateLevelNames[i]) {
                    record->levels[i] = 0;
                }
            }
        }
        kept.RemoveSubkey(kDisabledUserLevelKey);
    }
    return record;
}

std::unique_ptr<TemplatesListDefinition> LoadDirectory(registry::KeySnapshot key) {
    auto record = std::make_unique<TemplatesListDefinition>();
    record->directory = DirectoryFromKeyName(key.name);
    record->kept.subkeys = std::move(key.subkeys);
    // Every named value offers a template; the unnamed one is no template and is kept.
    for (registry::RegValue& value : key.values) {
        if (value.name.empty()) {
            record->kept.values.push_back(std::move(value));
        } else {
            record->templateNames.push_back(std::move(value.name));
        }
    }
    return record;
}

// The saves build each root as it is to be, then write only what differs from what is stored.
void SaveTemplate(const TemplateDefinition& record, registry::KeySnapshot& root) {
    registry::KeySnapshot& key = registry::AddKeyPath(root, record.name);
    key.values.push_back(registry::TextValue("", record.fullPath));
    key.values.push_back(registry::TextValue(kEditMask, record.editMask));
    key.values.push_back(registry::TextValue(kComment, record.comment));
    key.values.push_back(registry::NumberValue(kFastCreate, record.fastCreate));
    key.values.insert(key.values.end(), record.kept.values.begin(), record.kept.values.end());
    key.subkeys.insert(key.subkeys.end(), record.kept.subkeys.begin(), record.kept.subkeys.end());
    registry::KeySnapshot& disabled = registry::AddKeyPath(key, kDisabledUserLevelKey);
    for (std::size_t i = 0; i < kLevelCount; ++i) {
        if (record.levels[i] == 0) {
            disabled.values.push_back(
                registry::NumberValue(std::string(userlevels::kTemplateLevelNames[i]), 1));
        }
    }
}

void SaveDirectory(const TemplatesListDefinition& record, registry::KeySnapshot& root) {
    registry::KeySnapshot& key = registry::AddKeyPath(root, DirectoryKeyName(record.directory));
    for (const std::string& name : record.templateNames) {
        key.values.push_back(registry::NumberValue(name, 1));
    }
    key.values.insert(key.values.end(), record.kept.values.begin(), record.kept.values.end());
    key.subkeys.insert(key.subkeys.end(), record.kept.subkeys.begin(), record.kept.subkeys.end());
}

}  // namespace

common::AreaResult TemplatesRegistry::Load(TemplatesArea& area) {
    area.Clear();
    common::AreaResult result(kTemplatesArea);
    registry::RegistryBatch batch;
    auto keys = common::ReadAreaCopy(kTemplatesArea, area.asRead, result);
    if (keys[0]) {
        area.templateRootValues.values = std::move(keys[0]->values);
        for (registry::KeySnapshot& subkey : keys[0]->subkeys) {
            area.templates.push_back(LoadTemplate(std::move(subkey)));
        }
    }
    if (keys[1]) {
        area.listRootValues.values = std::move(keys[1]->values);
        for (registry::KeySnapshot& subkey : keys[1]->subkeys) {
            area.directories.push_back(LoadDirectory(std::move(subkey)));
        }
    }
    common::ReadInstallationDir(area.installationDir);
    return result;
}

common::AreaResult TemplatesRegistry::Save(const TemplatesArea& area) {
    common::AreaResult result(kTemplatesArea);
    registry::RegistryBatch batch;
    registry::KeySnapshot templates;
    for (const auto& record : area.templates) {
        SaveTemplate(*record, templates);
    }
    templates.values = area.templateRootValues.values;
    // A refused delete leaves its root as it was, and the template lists are not written. A
    // template's values are read by name; a list's order is kept.
    if (!common::ReplaceAreaKey(kTemplateKeyPath, templates, result, true)) {
        return result;
    }

    registry::KeySnapshot directories;
    for (const auto& record : area.directories) {
        SaveDirectory(*record, directories);
    }
    directories.values = area.listRootValues.values;
    common::ReplaceAreaKey(kTemplateListKeyPath, directories, result);
    return result;
}

}  // namespace templates
