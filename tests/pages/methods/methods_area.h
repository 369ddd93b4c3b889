#pragma once
// The method tests' common ground: .reg text of the "ModulProc" area written the way the test
// registry exports it (keys depth first and sorted, values sorted, "@" first), so a seed can be
// compared with the store after "&Apply" as it stands. Standard library only.

#include <cstdint>
#include <cstdio>
#include <string>

#include "pages/methods/method_registry.h"

namespace methodstest {

inline const std::string kModulProc = methods::kModulProcKeyPath;
inline const std::string kHeader = "[HKEY_LOCAL_MACHINE\\" + kModulProc;

// .reg text of the ModulProc key plus `body`, in which "[MP" stands for the ModulProc key.
inline std::string Area(std::string body) {
    const std::string marker = "[MP";
    for (std::string::size_type pos = 0; (pos = body.find(marker, pos)) != std::string::npos;
         pos += kHeader.size()) {
        body.replace(pos, marker.size(), kHeader);
    }
    return kHeader + "]\n" + body;
}

inline std::string Dword(std::uint32_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(value));
    return text;
}

// The key of method `number` ("[MP\\n]" form): its name (none when empty), the two condition
// masks and the five level subkeys with the flags of the two level masks (bit 1 "Default" ...
// bit 16 "Admin"), in export order. `extraValues` (.reg lines) follow the layout's values.
inline std::string MethodKey(int number, const std::string& name, std::uint32_t item,
                             std::uint32_t system, std::uint32_t askBefore, std::uint32_t active,
                             const std::string& extraValues = "") {
    const std::string key = "[MP\\" + std::to_string(number);
    std::string text = key + "]\n";
    if (!name.empty()) {
        text += "@=\"" + name + "\"\n";
    }
    text += "\"ItemConditions\"=" + Dword(item) + "\n\"SystemConditions\"=" + Dword(system) + "\n" +
            extraValues;
    // Sorted as the export sorts them.
    const struct {
        const char* name;
        std::uint32_t bit;
    } levels[] = {{"Admin", 16}, {"Default", 1}, {"Demo", 2}, {"Expert", 8}, {"User", 4}};
    for (const auto& level : levels) {
        text += key + "\\" + level.name + "]\n\"Active\"=" + Dword((active & level.bit) ? 1 : 0) +
                "\n\"AskBefore\"=" + Dword((askBefore & level.bit) ? 1 : 0) + "\n";
    }
    return text;
}

}  // namespace methodstest
