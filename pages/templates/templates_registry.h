#pragma once
// Moves the templates and the template lists between their two registry areas and memory. No
// user interface: the page decides what to show for a failed delete.

#include <array>
#include <string_view>

#include "pages/common/area_contract.h"
#include "pages/templates/template_definition.h"

namespace templates {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kTemplateKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Template";
inline constexpr const char* kTemplateListKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\TemplateList";

// The subkey of a template key that names the levels it is not offered at.
inline constexpr const char* kDisabledUserLevelKey = "DisabledUserLevel";

inline constexpr std::array<std::string_view, 2> kTemplateKeys{kTemplateKeyPath,
                                                               kTemplateListKeyPath};
inline constexpr common::AreaDescriptor kTemplatesArea{"Templates/Templates list", kTemplateKeys,
                                                       kTemplateKeys};

class TemplatesRegistry {
  public:
    // Replaces `area` with every template and every directory stored, in enumeration order,
    // each record also taking what its key holds beyond the layout (its `kept`). A root that
    // cannot be opened fails and leaves its list empty; the other one is read all the same.
    // Reads "InstallationDir" lower-cased into the area's `installationDir` (kept as it is when
    // its key cannot be opened).
    static common::AreaResult Load(TemplatesArea& area);

    // Deletes the templates root and writes every template anew (each followed by what its load
    // kept), then does the same for the template lists root and the directories. A delete that
    // fails leaves its root as it was, is reported and stops the save (the templates may then be
    // written while the template lists are not). A root that ends up with no records and no
    // values of its own is not written at all. A key that cannot be created is skipped.
    static common::AreaResult Save(const TemplatesArea& area);
};

}  // namespace templates
