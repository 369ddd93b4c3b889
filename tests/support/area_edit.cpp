#include "tests/support/area_edit.h"

#include <string_view>

#include "registry/key_snapshot.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"

namespace testsupport {

namespace {

bool InsideKey(std::string_view path, std::string_view key) {
    if (path.size() < key.size() || !registry::NamesEqual(path.substr(0, key.size()), key))
        return false;
    return path.size() == key.size() || path[key.size()] == '\\';
}

void ChangeEveryValue(registry::KeySnapshot& key) {
    for (registry::RegValue& value : key.values) {
        if (value.type == REG_DWORD && value.data.size() == 4)
            value.data[0] = static_cast<uint8_t>(value.data[0] + 1);
        if (value.type == REG_SZ && value.data.size() > 1 && value.data.back() == 0)
            value.data.insert(value.data.end() - 1, '1');
        if (value.name.find('\\') != std::string::npos)
            value.name += "1";
    }
    for (registry::KeySnapshot& subkey : key.subkeys)
        ChangeEveryValue(subkey);
}

}  // namespace

bool ChangeEveryValue(const std::vector<std::string>& keys) {
    registry::RegistryBatch batch;
    for (const std::string& path : keys) {
        RegistryKey key;
        registry::KeySnapshot snapshot;
        if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) != ERROR_SUCCESS)
            continue;
        if (registry::ReadKeySnapshot(key, &snapshot) != ERROR_SUCCESS)
            return false;
        key.Close();
        ChangeEveryValue(snapshot);
        if (registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, path, snapshot) != ERROR_SUCCESS)
            return false;
    }
    return true;
}

std::string WithoutKeys(const std::string& text, const std::string& keyPath) {
    std::string out;
    bool skipping = false;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string_view line(text.data() + begin, end - begin);
        if (!line.empty() && line[0] == '[') {
            const std::size_t close = line.rfind(']');
            skipping =
                close != std::string_view::npos && InsideKey(line.substr(1, close - 1), keyPath);
        }
        if (!skipping)
            out += line;
        begin = end;
    }
    return out;
}

const char kEveryValueKind[] =
    "@=\"unnamed\"\r\n"
    "\"Text\"=\"say \\\"hi\\\" to C:\\\\VLX, caf\xe9 \x80 5\"\r\n"
    "\"Empty\"=\"\"\r\n"
    "\"Tab\"=\"a\tb\"\r\n"
    "\"NoZero\"=hex(1):61,62,63\r\n"
    "\"ZeroInside\"=hex(1):61,00,62,00\r\n"
    "\"LineBreak\"=hex(1):61,0d,0a,62,00\r\n"
    "\"Expand\"=hex(2):25,56,4c,58,25,5c,e9,00\r\n"
    "\"Multi\"=hex(7):6f,6e,65,00,74,77,6f,00,00\r\n"
    "\"Binary\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\r\n"
    "  18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,ff\r\n"
    "\"EmptyBinary\"=hex:\r\n"
    "\"Number\"=dword:80000001\r\n"
    "\"ShortNumber\"=hex(4):01,02,03\r\n"
    "\"Wide\"=hex(b):01,02,03,04,05,06,07,08\r\n"
    "\"None\"=hex(0):\r\n"
    "\"Odd type\"=hex(1234):09,08\r\n";

}  // namespace testsupport
