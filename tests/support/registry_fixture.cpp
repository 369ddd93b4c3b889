#include "tests/support/registry_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "registry/key_snapshot.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"

#ifndef _WIN32
#include <stdlib.h>
#endif

namespace testsupport {

namespace {

using registry::RegRoot;
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
        size_t end = text.find('\n', pos);
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

#ifdef _WIN32
HKEY RootHandle(RegRoot root) {
    switch (root) {
        case RegRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegRoot::Users:
            return HKEY_USERS;
    }
    return HKEY_LOCAL_MACHINE;
}

std::string JoinPath(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "\\") + p;
    return out;
}

// Seeded keys are cleared before seeding only below "Software", and never in the machine's
// own branches, so a test run on a real Windows machine cannot wipe system settings.
bool IsTestArea(const std::vector<std::string>& path) {
    if (path.size() < 2 || !registry::NamesEqual(path[0], "Software"))
        return false;
    for (const char* system : {"Microsoft", "Classes", "Policies", "Wow6432Node", "Wine", "Clients",
                               "RegisteredApplications"})
        if (registry::NamesEqual(path[1], system))
            return false;
    return true;
}

void DeleteAreas(const std::vector<std::pair<HKEY, std::string>>& areas) {
    for (const auto& [root, path] : areas)
        DeleteKeyTree(root, path.c_str());
}
#endif

}  // namespace

TempRegistry::TempRegistry(const std::string& regText) {
    const std::string text = NormalizedText(regText);
#ifdef _WIN32
    registry::RegDocument doc;
    if (std::string err = registry::ParseRegText(text, "test registry text", &doc); !err.empty())
        throw std::runtime_error(err);
    seededAreas_ = {{HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH"},
                    {HKEY_LOCAL_MACHINE, "Software\\VORNA Customer"},
                    {HKEY_CURRENT_USER, "Software\\VORNA Roboter GmbH"},
                    {HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings"}};
    for (const registry::RegEntry& e : doc.entries)
        if (e.kind == registry::RegEntry::Kind::CreateKey && IsTestArea(e.path))
            seededAreas_.emplace_back(RootHandle(e.root), JoinPath(e.path));
    DeleteAreas(seededAreas_);
    for (const registry::RegEntry& e : doc.entries) {
        const HKEY root = RootHandle(e.root);
        const std::string path = JoinPath(e.path);
        if (e.kind == registry::RegEntry::Kind::DeleteKey) {
            DeleteKeyTree(root, path.c_str());
            continue;
        }
        RegistryKey key;
        if (key.Create(root, path.c_str()) != ERROR_SUCCESS)
            throw std::runtime_error("cannot create the test key " + path);
        if (e.kind == registry::RegEntry::Kind::SetValue) {
            // Exactly the bytes of the text, also for a string without its zero.
            if (registry::SetRawValue(key, e.valueName, e.type, e.data) != ERROR_SUCCESS)
                throw std::runtime_error("cannot set the test value " + e.valueName);
        } else if (e.kind == registry::RegEntry::Kind::DeleteValue) {
            RegDeleteValueA(key, e.valueName.c_str());
        }
    }
#else
    std::string tmpl = (std::filesystem::temp_directory_path() / "vlx-registry-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder for the test registry");
    folder_ = tmpl;
    file_ = folder_ + "/registry.reg";
    {
        std::ofstream out(file_, std::ios::binary);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out)
            throw std::runtime_error("cannot write " + file_);
    }
    if (std::string err = registry::OpenFileStore(file_); !err.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        throw std::runtime_error(err);
    }
#endif
}

TempRegistry::~TempRegistry() {
#ifdef _WIN32
    DeleteAreas(seededAreas_);
#else
    registry::CloseFileStore();
    namespace fs = std::filesystem;
    std::error_code ec;
    // A test may have taken write permission away; give it back so the folder can go.
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& entry : fs::directory_iterator(folder_, ec))
        fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add, ec);
    fs::remove_all(folder_, ec);
#endif
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
