#include "pages/templates/template_definition.h"

#include <algorithm>
#include <utility>

#include "common/text_rules.h"
#include "pages/common/controller_path.h"
#include "registry/reg_text.h"

namespace templates {

void TemplateDefinition::SetEditMask(std::string text) {
    editMask = std::move(text);
    kept.RemoveValue("EditMask");
}

void TemplateDefinition::SetComment(std::string text) {
    comment = std::move(text);
    kept.RemoveValue("Comment");
}

void TemplateDefinition::SetFullPath(std::string text) {
    fullPath = std::move(text);
    kept.RemoveValue("");
}

void TemplateDefinition::SetFastCreate(std::uint32_t value) {
    fastCreate = value;
    kept.RemoveValue("FastCreate");
}

int TemplatesListDefinition::FindTemplateName(std::string_view templateName) const {
    for (std::size_t i = 0; i < templateNames.size(); ++i) {
        if (SameName(templateNames[i], templateName)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TemplatesListDefinition::RemoveTemplateName(std::string_view templateName) {
    const int index = FindTemplateName(templateName);
    if (index < 0) {
        return false;
    }
    templateNames.erase(templateNames.begin() + index);
    return true;
}

void TemplatesArea::Clear() {
    templates.clear();
    directories.clear();
    templateRootValues = {};
    listRootValues = {};
}

bool SameName(std::string_view a, std::string_view b) {
    return registry::NamesEqual(a, b);
}

bool SameDirectory(std::string_view a, std::string_view b) {
    return a.size() == b.size() && registry::NamesEqual(DirectoryKeyName(a), DirectoryKeyName(b));
}

int FindTemplate(const TemplateList& templates, std::string_view name) {
    for (std::size_t i = 0; i < templates.size(); ++i) {
        if (SameName(templates[i]->name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int FindDirectory(const DirectoryList& directories, std::string_view directory) {
    for (std::size_t i = 0; i < directories.size(); ++i) {
        if (SameDirectory(directories[i]->directory, directory)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::unique_ptr<TemplateDefinition> MakeNewTemplate(std::string name) {
    auto record = std::make_unique<TemplateDefinition>();
    record->editMask = name + "Mask";
    record->comment = name + "Comment";
    record->name = std::move(name);
    record->levels.fill(0);
    return record;
}

std::string DirectoryKeyName(std::string_view directory) {
    std::string keyName(directory);
    std::replace(keyName.begin(), keyName.end(), '\\', '/');
    return keyName;
}

std::string DirectoryFromKeyName(std::string_view keyName) {
    std::string directory(keyName);
    std::replace(directory.begin(), directory.end(), '/', '\\');
    return directory;
}

std::string DirectoryToAdd(std::string_view typed, std::string_view installationDir) {
    // Blanks go before the backslash is added, so "c:\data " becomes c:\data\ and not a folder
    // name ending in a blank. A slash is stored as the backslash it stands for; taking it as one
    // now shows the directory as the next load will.
    std::string directory = DirectoryFromKeyName(common::Trim(typed));
    if (directory.empty()) {
        return directory;
    }
    if (directory.back() != '\\') {
        directory += '\\';
    }
    return common::Trim(common::ControllerPath(directory, installationDir));
}

std::string BrowsedDirectory(std::string_view chosen, std::string_view installationDir) {
    return common::Trim(common::ControllerPath(chosen, installationDir));
}

std::string StoredFullPath(std::string_view text, std::string_view installationDir) {
    // Lower-casing also lowers a token already in the text; it goes back to its own spelling so
    // that a stored full path shown and stored again stays what it was.
    const std::string lowerToken = common::ToLower(kInstallationDirToken);
    std::string path = common::ToLower(text);
    for (std::size_t pos = 0; (pos = path.find(lowerToken, pos)) != std::string::npos;
         pos += kInstallationDirToken.size()) {
        path.replace(pos, lowerToken.size(), kInstallationDirToken);
    }
    // An installation directory written with a trailing backslash stands for the same folder.
    std::string_view folder = installationDir;
    while (folder.size() > 1 && folder.back() == '\\') {
        folder.remove_suffix(1);
    }
    path = common::ReplaceAtPathBoundary(path, folder, kInstallationDirToken);
    path.erase(std::remove_if(path.begin(), path.end(), [](char c) { return common::IsBlank(c); }),
               path.end());
    return path;
}

std::string WithoutExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t separator = path.find_last_of("\\/");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
        return std::string(path);
    }
    return std::string(path.substr(0, dot));
}

}  // namespace templates
