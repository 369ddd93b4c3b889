#include "pages/common/controller_path.h"

#include "common/text_rules.h"
#include "registry/registry_key.h"
#include "registry/value_query.h"

namespace common {

void ReadInstallationDir(std::string& installationDir) {
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kInstallationDirKeyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return;
    }
    std::string text;
    if (registry::QueryWholeString(key, kInstallationDirValue, &text) != ERROR_SUCCESS) {
        text.clear();
    }
    installationDir = ToLower(text);
}

std::string ReplaceAtPathBoundary(std::string_view text, std::string_view from,
                                  std::string_view to) {
    if (from.empty()) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) {
            break;
        }
        const std::size_t end = hit + from.size();
        if (end == text.size() || text[end] == '\\') {
            out.append(text.substr(pos, hit - pos));
            out.append(to);
            pos = end;
        } else {
            // Not at a boundary: keep this character and look again after it.
            out.append(text.substr(pos, hit + 1 - pos));
            pos = hit + 1;
        }
    }
    out.append(text.substr(pos < text.size() ? pos : text.size()));
    return out;
}

std::string ControllerPath(std::string_view path, std::string_view installationDir) {
    const std::string lower = ToLower(path);
    if (installationDir.empty()) {
        return lower;
    }
    const std::string pattern = std::string(installationDir) + "\\roboter\\vlx";
    return ReplaceAtPathBoundary(lower, pattern, "vlx:");
}

}  // namespace common
