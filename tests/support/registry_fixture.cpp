// The parts of the test registry both stores share: seeding text and reading back. The store
// itself is the platform's (registry_fixture_file.cpp, registry_fixture_win.cpp).
#include "tests/support/registry_fixture.h"

#include <algorithm>
#include <string_view>

#include "registry/reg_text.h"
#include "tests/support/reg_model.h"

namespace testsupport {

namespace {

using registry::RegValue;

bool IsHeader(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
}

// Test texts are often raw strings that start with a line break or are indented; the header,
// if there is one, must be the file's first line.
std::string NormalizedText(const std::string& text) {
    if (text.size() >= 2 && static_cast<uint8_t>(text[0]) == 0xFF &&
        static_cast<uint8_t>(text[1]) == 0xFE)
        return text;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);  // any line end the parser knows
        std::string_view line(text.data() + pos,
                              (end == std::string::npos ? text.size() : end) - pos);
        if (line.find_first_not_of(" \t\r") != std::string_view::npos) {
            if (IsHeader(line)) {
                std::string out(line.substr(line.find_first_not_of(" \t")));
                out += text.substr(pos + line.size());
                return out;
            }
            break;
        }
        if (end == std::string::npos)
            break;
        pos = end + 1;
    }
    return "REGEDIT4\r\n" + text;
}

const char* RootName(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE)
        return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    if (root == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    if (root == HKEY_USERS)
        return "HKEY_USERS";
    return "HKEY_UNKNOWN";
}

std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    std::vector<char> buffer(256);
    for (DWORD index = 0;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        LONG r =
            RegEnumKeyExA(key, index, buffer.data(), &size, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_MORE_DATA && buffer.size() < 65536) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (r != ERROR_SUCCESS)
            break;
        names.emplace_back(buffer.data(), size);
        ++index;
    }
    std::sort(names.begin(), names.end(), registry::NameLess());
    return names;
}

std::vector<RegValue> Values(HKEY key) {
    std::vector<RegValue> values;
    std::vector<char> name(16384);
    std::vector<uint8_t> data(256);
    for (DWORD index = 0;;) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG r = RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type, data.data(),
                               &dataSize);
        if (r == ERROR_MORE_DATA) {
            if (dataSize > data.size())
                data.resize(dataSize);
            else if (name.size() < (1u << 20))
                name.resize(name.size() * 4);
            else
                break;
            continue;
        }
        if (r != ERROR_SUCCESS)
            break;
        values.push_back(RegValue{std::string(name.data(), nameSize), type,
                                  std::vector<uint8_t>(data.begin(), data.begin() + dataSize)});
        ++index;
    }
    std::sort(values.begin(), values.end(), [](const RegValue& a, const RegValue& b) {
        return registry::CompareNames(a.name, b.name) < 0;
    });
    return values;
}

void ExportKey(HKEY key, const std::string& title, std::string* out) {
    *out += "[" + title + "]\n";
    for (const RegValue& v : Values(key))
        *out += registry::FormatRegValue(v, false, false) + "\n";
    for (const std::string& name : SubkeyNames(key)) {
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        ExportKey(child, title + "\\" + name, out);
        RegCloseKey(child);
    }
}

}  // namespace

TempRegistry::TempRegistry(const std::string& regText) {
    SeedStore(NormalizedText(regText));
}

TempRegistry::~TempRegistry() {
    ReleaseStore();
}

std::string TempRegistry::Export(HKEY root, const std::string& path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string out;
    ExportKey(key, path.empty() ? RootName(root) : std::string(RootName(root)) + "\\" + path, &out);
    RegCloseKey(key);
    return out;
}

bool TempRegistry::KeyExists(HKEY root, const std::string& path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::optional<std::pair<DWORD, std::vector<uint8_t>>> TempRegistry::Value(
    HKEY root, const std::string& path, const std::string& name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::pair<DWORD, std::vector<uint8_t>>> result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<uint8_t> data(size);
        LONG r = ERROR_MORE_DATA;
        while (r == ERROR_MORE_DATA) {
            size = static_cast<DWORD>(data.size());
            r = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
            if (r == ERROR_MORE_DATA)
                data.resize(size);
        }
        if (r == ERROR_SUCCESS) {
            data.resize(size);
            result.emplace(type, std::move(data));
        }
    }
    RegCloseKey(key);
    return result;
}

std::string TempRegistry::FilePath() const {
    return file_;
}

}  // namespace testsupport
