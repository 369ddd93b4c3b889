#pragma once
// The five user levels, under the spellings each kind of list uses. Several pages offer them;
// this is the one place that names them.

#include <array>
#include <cstdint>
#include <string_view>

#include "common/text_rules.h"

namespace userlevels {

// Spellings of the level lists (Display, Filters), in the order they are added.
inline constexpr std::array<std::string_view, 5> kLevelListNames = {"Admin", "DEFAULT", "Demo",
                                                                    "Expert", "User"};

// The default level's spelling in the level lists.
inline constexpr std::string_view kDefaultLevelName = "DEFAULT";

struct MethodLevel {
    std::string_view name;  // at most 9 characters
    std::uint32_t bit;
};

// Method level tables (Methods, User Methods): names and their bits, in this order.
inline constexpr std::array<MethodLevel, 5> kMethodLevels = {{
    {"Default", 1},
    {"Demo", 2},
    {"User", 4},
    {"Expert", 8},
    {"Admin", 16},
}};

// The default level can never be removed from a level list.
inline bool IsDefaultLevel(std::string_view name) {
    return common::EqualsNoCase(name, "default");
}

}  // namespace userlevels

namespace userlevels {

// The Templates page's level values, in the order it writes them: the four levels other than
// the default one, spelt as registry value names (compared with regard to case when read).
inline constexpr std::array<std::string_view, 4> kTemplateLevelNames = {"Demo", "User", "Expert",
                                                                        "Admin"};

}  // namespace userlevels
