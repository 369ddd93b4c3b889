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

std::string Below(const char* root, const std::string& name) {
    return std::string(root) + "\\" + name;
}

// Calls `each` with the name of every readable subkey of `key`, in enumeration order.
template <class Each>
void ForEachSubkey(HKEY key, Each each) {
    for (std::string& name : registry::ReadSubkeyNames(key)) {
        each(std::move(name));
    }
}

// Reads a text of the layout. One the save would write back with the same bytes is the
// record's alone; any other stays in `kept` to be written back as it was.
void ReadText(HKEY key, const char* valueName, std::string& text, registry::KeySnapshot& kept) {
    if (registry::QueryWholeString(key, valueName, &text) != ERROR_SUCCESS) {
        text.clear();
        return;
    }
    registry::TakeOverText(kept, valueName, text);
}

std::unique_ptr<TemplateDefinition> LoadTemplate(HKEY root, std::string name) {
    auto record = std::make_unique<TemplateDefinition>();
    record->name = std::move(name);
    RegistryKey key;
    if (key.Open(root, record->name.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return record;
    }
    registry::KeySnapshot& kept = record->kept;
    registry::ReadKeySnapshot(key, &kept);
    ReadText(key, "", record->fullPath, kept);
    ReadText(key, kComment, record->comment, kept);
    ReadText(key, kEditMask, record->editMask, kept);
    record->fastCreate = registry::QueryNumber(key, kFastCreate).value_or(0);
    if (registry::QueryDword(key, kFastCreate).has_value()) {
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

// Null when the directory key cannot be opened.
std::unique_ptr<TemplatesListDefinition> LoadDirectory(HKEY root, const std::string& keyName) {
    RegistryKey key;
    if (key.Open(root, keyName.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return nullptr;
    }
    auto record = std::make_unique<TemplatesListDefinition>();
    record->directory = DirectoryFromKeyName(keyName);
    registry::ReadKeySnapshot(key, &record->kept);
    // Every named value offers a template; the unnamed one is no template and is kept.
    std::vector<registry::RegValue> unnamed;
    for (registry::RegValue& value : record->kept.values) {
        if (value.name.empty()) {
            unnamed.push_back(std::move(value));
        } else {
            record->templateNames.push_back(std::move(value.name));
        }
    }
    record->kept.values = std::move(unnamed);
    return record;
}

void SaveTemplate(const TemplateDefinition& record) {
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, Below(kTemplateKeyPath, record.name).c_str()) !=
        ERROR_SUCCESS) {
        return;
    }
    key.SetString("", record.fullPath.c_str());
    key.SetString(kEditMask, record.editMask.c_str());
    key.SetString(kComment, record.comment.c_str());
    key.SetNumber(kFastCreate, record.fastCreate);
    if (!record.kept.Empty()) {
        registry::WriteKeySnapshot(key, "", record.kept);
    }
    RegistryKey disabled;
    if (disabled.Create(key, kDisabledUserLevelKey) != ERROR_SUCCESS) {
        return;
    }
    for (std::size_t i = 0; i < kLevelCount; ++i) {
        if (record.levels[i] == 0) {
            disabled.SetNumber(std::string(userlevels::kTemplateLevelNames[i]).c_str(), 1);
        }
    }
}

void SaveDirectory(const TemplatesListDefinition& record) {
    RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE,
                   Below(kTemplateListKeyPath, DirectoryKeyName(record.directory)).c_str()) !=
        ERROR_SUCCESS) {
        return;
    }
    for (const std::string& name : record.templateNames) {
        key.SetNumber(name.c_str(), 1);
    }
    if (!record.kept.Empty()) {
        registry::WriteKeySnapshot(key, "", record.kept);
    }
}

// Deletes the root with everything below it; false when the delete failed (the root is then as
// it was: what the delete removed before failing is written back).
bool DeleteRoot(const char* path, common::AreaResult& result) {
    const LONG deleted = registry::DeleteKeyTreeOrRestore(HKEY_LOCAL_MACHINE, path);
    if (deleted != ERROR_SUCCESS) {
        result.AddFailure(path, deleted);
        return false;
    }
    return true;
}

}  // namespace

common::AreaResult TemplatesRegistry::Load(TemplatesArea& area) {
    area.Clear();
    common::AreaResult result(kTemplatesArea);
    registry::RegistryBatch batch;
    {
        RegistryKey root;
        if (common::OpenAreaKey(root, kTemplateKeyPath, KEY_ALL_ACCESS, result)) {
            registry::ReadKeyValues(root, &area.templateRootValues);
            ForEachSubkey(root, [&](std::string name) {
                area.templates.push_back(LoadTemplate(root, std::move(name)));
            });
        }
    }
    {
        RegistryKey root;
        if (common::OpenAreaKey(root, kTemplateListKeyPath, KEY_ALL_ACCESS, result)) {
            registry::ReadKeyValues(root, &area.listRootValues);
            ForEachSubkey(root, [&](std::string name) {
                if (auto record = LoadDirectory(root, name)) {
                    area.directories.push_back(std::move(record));
                }
            });
        }
    }
    common::ReadInstallationDir(area.installationDir);
    return result;
}

common::AreaResult TemplatesRegistry::Save(const TemplatesArea& area) {
    common::AreaResult result(kTemplatesArea);
    registry::RegistryBatch batch;
    // A refused delete leaves its root as it was, and nothing of that root is written.
    if (!DeleteRoot(kTemplateKeyPath, result)) {
        return result;
    }
    // Both roots are deleted before either is written, so that each delete finds its copy in the
    // journal's read (nothing else has changed yet) instead of reading the root again. A refused
    // second delete leaves that root as it was, and the first is written all the same.
    const bool listDeleted = DeleteRoot(kTemplateListKeyPath, result);
    for (const auto& record : area.templates) {
        SaveTemplate(*record);
    }
    registry::WriteKeyValues(HKEY_LOCAL_MACHINE, kTemplateKeyPath, area.templateRootValues);

    if (!listDeleted) {
        return result;
    }
    for (const auto& record : area.directories) {
        SaveDirectory(*record);
    }
    registry::WriteKeyValues(HKEY_LOCAL_MACHINE, kTemplateListKeyPath, area.listRootValues);
    return result;
}

}  // namespace templates
