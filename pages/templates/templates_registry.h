#pragma once
// Moves the templates and the template lists between their two registry areas and memory. No
// user interface: the page decides what to show for a failed delete.

#include <cstdint>
#include <string>

#include "pages/templates/template_definition.h"

namespace templates {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kTemplateKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Template";
inline constexpr const char* kTemplateListKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\TemplateList";

// The subkey of a template key that names the levels it is not offered at.
inline constexpr const char* kDisabledUserLevelKey = "DisabledUserLevel";

struct TemplatesLoadResult {
    bool templatesRead = false;  // the templates root could be opened
    bool listsRead = false;      // the template lists root could be opened
    bool Ok() const { return templatesRead && listsRead; }
};

struct TemplatesSaveResult {
    // Deleting an old root failed: that root was left as it was and the save stopped there.
    bool deleteFailed = false;
    std::int32_t deleteError = 0;  // the first failed delete's result code
};

class TemplatesRegistry {
  public:
    // Replaces `area` with every template and every directory stored, in enumeration order,
    // each record also taking what its key holds beyond the layout (its `kept`). A root that
    // cannot be opened leaves its list empty; the other one is read all the same. Reads
    // "InstallationDir" lower-cased into `installationDir` (kept as it is when its key cannot
    // be opened).
    static TemplatesLoadResult Load(TemplatesArea& area, std::string& installationDir);

    // Deletes the templates root and writes every template anew (each followed by what its load
    // kept), then does the same for the template lists root and the directories. A delete that
    // fails leaves its root as it was and stops the save (the templates may then be written
    // while the template lists are not). A root that
    // ends up with no records and no values of its own is not written at all. A key that cannot
    // be created is skipped.
    static TemplatesSaveResult Save(const TemplatesArea& area);
};

}  // namespace templates
