#pragma once
// .reg text of the two template areas for the tests of the model and of the page.

#include <string>
#include <vector>

#include "pages/templates/templates_registry.h"

namespace templatestest {

inline const std::string kTemplateRoot = templates::kTemplateKeyPath;
inline const std::string kListRoot = templates::kTemplateListKeyPath;

// .reg text in which a line starting "[T" stands for the templates root and one starting "[L"
// for the template lists root.
inline std::string Reg(const std::string& body) {
    std::string out;
    std::size_t begin = 0;
    while (begin < body.size()) {
        std::size_t end = body.find('\n', begin);
        end = end == std::string::npos ? body.size() : end + 1;
        const std::string line = body.substr(begin, end - begin);
        if (line.rfind("[T", 0) == 0) {
            out += "[HKEY_LOCAL_MACHINE\\" + kTemplateRoot + line.substr(2);
        } else if (line.rfind("[L", 0) == 0) {
            out += "[HKEY_LOCAL_MACHINE\\" + kListRoot + line.substr(2);
        } else {
            out += line;
        }
        begin = end;
    }
    return out;
}

// One template key as the save writes it; `disabled` lists the levels it is not offered at, in
// the export's (alphabetical) order.
inline std::string TemplateKey(const std::string& name, const std::string& fullPath,
                               const std::string& mask, const std::string& comment, int fastCreate,
                               const std::vector<std::string>& disabled) {
    std::string text = "[T\\" + name + "]\n@=\"" + fullPath + "\"\n\"Comment\"=\"" + comment +
                       "\"\n\"EditMask\"=\"" + mask + "\"\n\"FastCreate\"=dword:0000000" +
                       std::to_string(fastCreate) + "\n[T\\" + name + "\\DisabledUserLevel]\n";
    for (const std::string& level : disabled) {
        text += "\"" + level + "\"=dword:00000001\n";
    }
    return text;
}

}  // namespace templatestest
