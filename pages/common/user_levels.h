#pragma once
// The five user levels, under the spellings each kind of list uses. Several pages offer them;
// this is the one place that names them.

#include <array>
#include <cstdint>
#include <string_view>

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

// Level names are compared without regard to letter case everywhere.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](unsigned char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
        };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The default level can never be removed from a level list.
inline bool IsDefaultLevel(std::string_view name) {
    return EqualsNoCase(name, "default");
}

}  // namespace userlevels
