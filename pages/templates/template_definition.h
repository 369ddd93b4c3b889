#pragma once
// The file templates the file manager offers (mask, comment, template file, fast create, the
// user levels that see them) and, per directory of the controller, the templates offered there.
// Also the text rules by which the page turns typed and picked paths into their stored forms.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pages/common/user_levels.h"
#include "registry/area_copy.h"
#include "registry/key_snapshot.h"

namespace templates {

// What the user can type: template names become value names in the directory keys, which the
// file manager reads into 50 bytes; texts and directories are read into 100.
inline constexpr std::size_t kMaxTemplateNameLength = 49;
inline constexpr std::size_t kMaxTextLength = 99;

// The one entry of the directories list that can never be removed.
inline constexpr std::string_view kDefaultDirectory = "DEFAULT";

// Written for the installation directory in a template's full path.
inline constexpr std::string_view kInstallationDirToken = "%InstallationDir%";

inline constexpr std::size_t kLevelCount = userlevels::kTemplateLevelNames.size();

struct TemplateDefinition {
    std::string name;      // also the template's key name
    std::string editMask;  // "EditMask"
    std::string comment;   // "Comment"
    std::string fullPath;  // the key's default value: the template file, in stored form
    std::uint32_t fastCreate = 0;
    // 1 where the template is offered at userlevels::kTemplateLevelNames[i], else 0.
    std::array<std::uint32_t, kLevelCount> levels = {1, 1, 1, 1};

    // What the template key held beyond the layout (values and subkeys other than its own), and
    // the layout's own values the load could not take as they are (a text that is no plain
    // REG_SZ, a "FastCreate" that is no 4-byte REG_DWORD): written back after the layout's values
    // unchanged. The setters drop the stored bytes of a field the page changes.
    registry::KeySnapshot kept;

    void SetEditMask(std::string text);
    void SetComment(std::string text);
    void SetFullPath(std::string text);
    void SetFastCreate(std::uint32_t value);
};

struct TemplatesListDefinition {
    std::string directory;                   // with backslashes, e.g. vlx:\r1\program\ .
    std::vector<std::string> templateNames;  // offered here, in order

    // The directory key's default value and subkeys, which the layout does not read.
    registry::KeySnapshot kept;

    // Index of the first name matching without regard to case, or -1.
    int FindTemplateName(std::string_view templateName) const;
    // Removes the first matching name; false when there is none.
    bool RemoveTemplateName(std::string_view templateName);
};

using TemplateList = std::vector<std::unique_ptr<TemplateDefinition>>;
using DirectoryList = std::vector<std::unique_ptr<TemplatesListDefinition>>;

// Everything the page edits, as loaded: both lists in load order, and the values the two root
// keys hold themselves (no record owns them; "&Apply" writes them back).
struct TemplatesArea {
    TemplateList templates;
    DirectoryList directories;
    registry::KeySnapshot templateRootValues;
    registry::KeySnapshot listRootValues;
    // The two roots as the load read them, for the journal before the save.
    registry::AreaCopy asRead;
    // Lower-cased, for the controller path rule; never written. Kept by Clear, and by a load
    // whose Version key cannot be opened.
    std::string installationDir;

    void Clear();
};

// Names compare as the registry compares key and value names (without regard to case), so two
// records never stand for one key or value.
bool SameName(std::string_view a, std::string_view b);
// Directories also treat a slash as the backslash it is stored as.
bool SameDirectory(std::string_view a, std::string_view b);

// Index of the first record matching, or -1.
int FindTemplate(const TemplateList& templates, std::string_view name);
int FindDirectory(const DirectoryList& directories, std::string_view directory);

// A template as the page adds it: mask "<name>Mask", comment "<name>Comment", no full path, no
// fast create, offered at no level.
std::unique_ptr<TemplateDefinition> MakeNewTemplate(std::string name);

// The directory key's name (every backslash a slash, as a key name cannot hold one) and back.
std::string DirectoryKeyName(std::string_view directory);
std::string DirectoryFromKeyName(std::string_view keyName);

// A typed directory as "Add to defined" takes it: without surrounding blanks, with backslashes
// for slashes, ending in a backslash, lower-cased, in the controller path form. Empty when
// nothing but blanks was typed.
std::string DirectoryToAdd(std::string_view typed, std::string_view installationDir);

// A directory chosen with the picker: lower-cased, in the controller path form, without
// surrounding blanks (no backslash is added; "Add to defined" does that).
std::string BrowsedDirectory(std::string_view chosen, std::string_view installationDir);

// The stored form of a template's full path: lower-cased, the installation directory written
// as "%InstallationDir%" (only when known, and only where it ends the path or a backslash
// follows), every blank removed. Applying it to a stored form changes nothing.
std::string StoredFullPath(std::string_view text, std::string_view installationDir);

// A picked template file without its extension: cut before the last "." of its last path
// element; a dot in a folder name is no extension.
std::string WithoutExtension(std::string_view path);

}  // namespace templates
