// Fuzzes the .reg file store with random sequences of registry calls, checked call by call
// against a plain in-memory model of the same calls: the same result codes, the same names,
// types, sizes and bytes handed out, and at the end the same keys and values, in the store and in
// the file it wrote (read by a fresh store). The sequence also nests batches, lets another
// program rewrite the file between calls (changing or removing a key, in any of the formats), and
// reopens the store.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "registry/file_store.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/win_registry.h"
#include "tests/support/reg_model.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::string shown;
    for (char c : what) {
        if ((c < ' ' && c != '\n') || c == 0x7F)
            shown += "<" + std::to_string(static_cast<unsigned char>(c)) + ">";
        else
            shown += c;
    }
    std::fprintf(stderr, "mismatch: %s\n", shown.c_str());
    std::abort();
}

// ---- The model ----------------------------------------------------------------------------

struct MValue {
    std::string name;
    DWORD type;
    std::string data;
};

struct MKey {
    std::string name;
    MKey* parent = nullptr;
    std::map<std::string, std::unique_ptr<MKey>, registry::NameLess> subkeys;
    std::vector<MValue> values;

    MKey* Find(const std::string& n) {
        auto it = subkeys.find(n);
        return it == subkeys.end() ? nullptr : it->second.get();
    }
    MValue* FindValue(const std::string& n) {
        for (MValue& v : values)
            if (registry::NamesEqual(v.name, n))
                return &v;
        return nullptr;
    }
};

struct Slot {
    HKEY real = nullptr;  // null: never opened or closed
    bool deleted = false;
    MKey* key = nullptr;
    REGSAM access = 0;
};

struct Model {
    MKey roots[2];  // HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER
    std::vector<Slot> slots = std::vector<Slot>(8);

    // Forgets handles to `key` and everything below it.
    void Removed(MKey* key) {
        for (Slot& s : slots) {
            for (MKey* k = s.key; k != nullptr && !s.deleted; k = k->parent)
                if (k == key)
                    s.deleted = true;
        }
    }
};

const HKEY kRoots[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

// ---- Input --------------------------------------------------------------------------------

class Input {
  public:
    Input(const uint8_t* data, size_t size) : p_(data), n_(size) {}
    bool Done() const { return n_ == 0; }
    uint8_t Byte() {
        if (n_ == 0)
            return 0;
        --n_;
        return *p_++;
    }
    std::string Bytes(size_t count) {
        std::string out;
        for (size_t i = 0; i < count && n_ > 0; ++i)
            out.push_back(static_cast<char>(Byte()));
        return out;
    }

  private:
    const uint8_t* p_;
    size_t n_;
};

const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = {"A",
                                                   "a",
                                                   "B",
                                                   "Key",
                                                   "KEY",
                                                   "k\xe9y",
                                                   "K\xc9Y",
                                                   "\xff",
                                                   "\x9f",
                                                   "_",
                                                   "Z",
                                                   "[x]",
                                                   "x=y",
                                                   "q\"q",
                                                   "s;c",
                                                   "Sub Key",
                                                   "\xe4",
                                                   "\xc4",
                                                   "Vorna",
                                                   "VORNA",
                                                   "@",
                                                   "-",
                                                   "a\rb",
                                                   std::string(255, 'L'),
                                                   std::string(256, 'L'),
                                                   std::string(300, 'v')};
    return names;
}

std::string Name(Input& in) {
    const uint8_t b = in.Byte();
    if (b == 0xFF) {  // any bytes, as far as a C string holds them
        std::string raw = in.Bytes(in.Byte() % 8);
        return raw.substr(0, raw.find('\0'));
    }
    return Names()[b % Names().size()];
}

std::string Path(Input& in) {
    const uint8_t shape = in.Byte();
    std::string path;
    if (shape % 16 == 0)
        return path;
    if (shape % 16 == 1)
        path = "\\";
    const int parts = 1 + (shape >> 4) % 3;
    for (int i = 0; i < parts; ++i) {
        if (i > 0)
            path += (shape & 0x80) && i == 1 ? "\\\\" : "\\";
        path += Name(in);
    }
    if (shape % 16 == 2)
        path += "\\";
    return path;
}

REGSAM Access(Input& in) {
    static const REGSAM kinds[] = {KEY_READ,        KEY_ALL_ACCESS,       KEY_WRITE,
                                   KEY_QUERY_VALUE, KEY_READ | KEY_WRITE, KEY_SET_VALUE};
    return kinds[in.Byte() % 6];
}

DWORD BufferSize(Input& in, size_t exact) {
    static const DWORD sizes[] = {0, 1, 2, 3, 4, 5, 8, 64, 255, 256, 300};
    const uint8_t b = in.Byte();
    if (b % 13 == 11)
        return static_cast<DWORD>(exact);
    if (b % 13 == 12)
        return static_cast<DWORD>(exact + 1);
    return sizes[b % 11];
}

// ---- The model's calls, as the platform defines them ----------------------------------------

constexpr LONG kBadPathname = 161;

bool Writable(const std::string& name) {
    return name.find_first_of("\r\n") == std::string::npos;
}

LONG SplitPath(const std::string* path, std::vector<std::string>* parts) {
    parts->clear();
    if (path == nullptr || path->empty())
        return ERROR_SUCCESS;
    if ((*path)[0] == '\\')
        return kBadPathname;
    size_t start = 0;
    while (start <= path->size()) {
        size_t next = path->find('\\', start);
        if (next == std::string::npos)
            next = path->size();
        std::string part = path->substr(start, next - start);
        if (!part.empty()) {
            if (part.size() > 255 || !Writable(part))
                return ERROR_INVALID_PARAMETER;
            parts->push_back(part);
        }
        start = next + 1;
    }
    return ERROR_SUCCESS;
}

struct Resolved {
    MKey* key = nullptr;
    REGSAM access = 0;
};

LONG Resolve(Model& m, int slot, Resolved* r) {
    if (slot < 2) {
        *r = {&m.roots[slot], KEY_ALL_ACCESS};
        return ERROR_SUCCESS;
    }
    const Slot& s = m.slots[slot];
    if (s.real == nullptr)
        return ERROR_INVALID_HANDLE;
    if (s.deleted)
        return ERROR_KEY_DELETED;
    *r = {s.key, s.access};
    return ERROR_SUCCESS;
}

LONG FindKey(Model& m, int slot, const std::string* path, Resolved* r, bool* named = nullptr) {
    if (LONG e = Resolve(m, slot, r))
        return e;
    std::vector<std::string> parts;
    if (LONG e = SplitPath(path, &parts))
        return e;
    if (named)
        *named = !parts.empty();
    for (const std::string& p : parts) {
        r->key = r->key->Find(p);
        if (r->key == nullptr)
            return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}

MKey* AddSubkey(MKey* key, const std::string& name) {
    if (MKey* k = key->Find(name))
        return k;
    auto child = std::make_unique<MKey>();
    child->name = name;
    child->parent = key;
    MKey* raw = child.get();
    key->subkeys.emplace(name, std::move(child));
    return raw;
}

void SetValue(MKey* key, const std::string& name, DWORD type, const std::string& data) {
    if (MValue* v = key->FindValue(name)) {
        v->type = type;
        v->data = data;
    } else {
        key->values.push_back({name, type, data});
    }
}

// ---- The store's content, read back through the registry calls ------------------------------

void DumpStore(HKEY key, const std::string& path, std::string* out) {
    *out += "[" + path + "]\n";
    for (DWORD i = 0;; ++i) {
        std::vector<char> name(70000);
        std::vector<BYTE> data(200000);
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG r =
            RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &size);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        if (r != ERROR_SUCCESS)
            Fail("enumerating values gave " + std::to_string(r));
        *out += std::string(name.data(), nameSize) + "=" + std::to_string(type) + ":" +
                std::string(reinterpret_cast<char*>(data.data()), size) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        char name[300];
        DWORD nameSize = sizeof name;
        const LONG r = RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        if (r != ERROR_SUCCESS)
            Fail("enumerating keys gave " + std::to_string(r));
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS)
            Fail("an enumerated key does not open: " + std::string(name));
        DumpStore(child, path + "\\" + std::string(name, nameSize), out);
        RegCloseKey(child);
    }
}

std::string DumpStore() {
    std::string out;
    DumpStore(HKEY_LOCAL_MACHINE, "HKLM", &out);
    DumpStore(HKEY_CURRENT_USER, "HKCU", &out);
    return out;
}

void DumpModel(const MKey& key, const std::string& path, std::string* out) {
    *out += "[" + path + "]\n";
    for (const MValue& v : key.values)
        *out += v.name + "=" + std::to_string(v.type) + ":" + v.data + "\n";
    for (const auto& [name, child] : key.subkeys)
        DumpModel(*child, path + "\\" + child->name, out);
}

std::string DumpModel(const Model& m) {
    std::string out;
    DumpModel(m.roots[0], "HKLM", &out);
    DumpModel(m.roots[1], "HKCU", &out);
    return out;
}

// Another program's copy of the model written over the file.
void AddToTree(const MKey& key, registry::RegKeyNode* node) {
    for (const MValue& v : key.values)
        node->SetValue(v.name, v.type, std::vector<uint8_t>(v.data.begin(), v.data.end()));
    for (const auto& [name, child] : key.subkeys)
        AddToTree(*child, node->AddSubkey(child->name));
}

void WriteModel(const Model& m, const std::string& file, registry::RegFileFormat format) {
    auto tree = std::make_unique<registry::RegTree>();
    AddToTree(m.roots[0], &tree->Root(registry::RegRoot::LocalMachine));
    AddToTree(m.roots[1], &tree->Root(registry::RegRoot::CurrentUser));
    const std::string text = registry::WriteRegText(*tree, format);
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(text.data(), text.size());
}

const char kSeed[] =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=\"text\"\r\n\"n\"=dword:00000002\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\A\\B]\r\n@=\"unnamed\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Key\\Sub Key]\r\n\"m\"=hex(7):61,00,00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Vorna]\r\n\"x\"=hex:01,02\r\n";

void Seed(Model& m) {
    MKey* a = AddSubkey(&m.roots[0], "A");
    SetValue(a, "v", REG_SZ, std::string("text\0", 5));
    SetValue(a, "n", REG_DWORD, std::string("\2\0\0\0", 4));
    SetValue(AddSubkey(a, "B"), "", REG_SZ, std::string("unnamed\0", 8));
    SetValue(AddSubkey(AddSubkey(&m.roots[0], "Key"), "Sub Key"), "m", REG_MULTI_SZ,
             std::string("a\0\0", 3));
    SetValue(AddSubkey(&m.roots[1], "Vorna"), "x", REG_BINARY, "\1\2");
}

std::string Folder() {
    static const std::string folder = [] {
        std::string tmpl = (std::filesystem::exists("/dev/shm")
                                ? std::string("/dev/shm")
                                : std::filesystem::temp_directory_path().string()) +
                           "/vlx-fuzz-XXXXXX";
        if (::mkdtemp(tmpl.data()) == nullptr)
            std::abort();
        return tmpl;
    }();
    return folder;
}

void Expect(LONG got, LONG want, const char* call) {
    if (got != want)
        Fail(std::string(call) + " gave " + std::to_string(got) + ", the model " +
             std::to_string(want));
}

// Runs one call on the store and on the model.
void Step(Input& in, Model& m, int& depth, const std::string& file) {
    const uint8_t op = in.Byte() % 15;
    const int slot = in.Byte() % 8;
    Resolved r;
    switch (op) {
        case 0:    // RegOpenKeyExA
        case 1: {  // RegCreateKeyExA
            const std::string path = Path(in);
            const REGSAM access = Access(in);
            const int target = 2 + in.Byte() % 6;
            HKEY opened = nullptr;
            DWORD disposition = 77;
            LONG got;
            if (op == 0) {
                got = RegOpenKeyExA(slot < 2 ? kRoots[slot] : m.slots[slot].real, path.c_str(), 0,
                                    access, &opened);
            } else {
                got = RegCreateKeyExA(slot < 2 ? kRoots[slot] : m.slots[slot].real, path.c_str(), 0,
                                      nullptr, 0, access, nullptr, &opened, &disposition);
            }
            LONG want = Resolve(m, slot, &r);
            MKey* key = r.key;
            bool created = false;
            if (want == ERROR_SUCCESS) {
                std::vector<std::string> parts;
                want = SplitPath(&path, &parts);
                size_t i = 0;
                for (; want == ERROR_SUCCESS && i < parts.size(); ++i) {
                    MKey* child = key->Find(parts[i]);
                    if (child == nullptr)
                        break;
                    key = child;
                }
                if (want == ERROR_SUCCESS && i < parts.size()) {
                    if (op == 0)
                        want = ERROR_FILE_NOT_FOUND;
                    else if (i == 0 && !(r.access & KEY_CREATE_SUB_KEY))
                        want = ERROR_ACCESS_DENIED;
                    else
                        for (created = true; i < parts.size(); ++i)
                            key = AddSubkey(key, parts[i]);
                }
            }
            Expect(got, want, op == 0 ? "RegOpenKeyExA" : "RegCreateKeyExA");
            if (got != ERROR_SUCCESS) {
                if (opened != nullptr)
                    Fail("a failed open handed out a key");
                return;
            }
            if (op == 1 && disposition != (created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY))
                Fail("RegCreateKeyExA's disposition");
            if (m.slots[target].real != nullptr)
                RegCloseKey(m.slots[target].real);
            m.slots[target] = Slot{opened, false, key, access};
            return;
        }
        case 2: {  // RegCloseKey
            const LONG want =
                slot < 2 || m.slots[slot].real != nullptr ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
            HKEY key = slot < 2 ? kRoots[slot] : m.slots[slot].real;
            if (key == nullptr)
                key = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x10));
            Expect(RegCloseKey(key), want, "RegCloseKey");
            if (slot >= 2)
                m.slots[slot] = Slot{};
            return;
        }
        case 3: {  // RegQueryValueExA
            const std::string name = Name(in);
            const uint8_t shape = in.Byte() % 4;
            LONG want = Resolve(m, slot, &r);
            if (want == ERROR_SUCCESS && !(r.access & KEY_QUERY_VALUE))
                want = ERROR_ACCESS_DENIED;
            MValue* v = want == ERROR_SUCCESS ? r.key->FindValue(name) : nullptr;
            const DWORD bufferSize = BufferSize(in, v ? v->data.size() : 0);
            std::vector<BYTE> buffer(bufferSize + 1, 0xCC);
            DWORD type = 0xDEAD, size = bufferSize;
            const LONG got = RegQueryValueExA(slot < 2 ? kRoots[slot] : m.slots[slot].real,
                                              name.c_str(), nullptr, shape == 3 ? nullptr : &type,
                                              shape >= 2 ? nullptr : buffer.data(),
                                              shape == 1 ? nullptr : &size);
            if (want == ERROR_SUCCESS && shape == 1)
                want = ERROR_INVALID_PARAMETER;
            else if (want == ERROR_SUCCESS && v == nullptr)
                want = ERROR_FILE_NOT_FOUND;
            DWORD wantType = 0xDEAD, wantSize = bufferSize;
            if (want == ERROR_SUCCESS) {
                if (shape != 3)
                    wantType = v->type;
                wantSize = static_cast<DWORD>(v->data.size());
                if (shape == 0 && bufferSize < v->data.size())
                    want = ERROR_MORE_DATA;
            }
            Expect(got, want, "RegQueryValueExA");
            if (type != wantType || size != wantSize)
                Fail("RegQueryValueExA's type or size");
            if (got == ERROR_SUCCESS && shape == 0 &&
                std::memcmp(buffer.data(), v->data.data(), v->data.size()) != 0)
                Fail("RegQueryValueExA's data");
            if (buffer[bufferSize] != 0xCC)
                Fail("RegQueryValueExA wrote past the buffer");
            return;
        }
        case 4: {  // RegSetValueExA
            const bool unnamed = in.Byte() % 8 == 0;
            const std::string name = unnamed ? std::string() : Name(in);
            static const DWORD types[] = {REG_SZ,       REG_DWORD, REG_BINARY, REG_EXPAND_SZ,
                                          REG_MULTI_SZ, REG_NONE,  REG_QWORD,  0x12345};
            const DWORD type = types[in.Byte() % 8];
            const uint8_t length = in.Byte();
            std::string data = length == 255 ? std::string(70000, 'D') : in.Bytes(length % 48);
            const bool nullData = length == 254;
            if (nullData)
                data.clear();
            const LONG got = RegSetValueExA(
                slot < 2 ? kRoots[slot] : m.slots[slot].real, unnamed ? nullptr : name.c_str(), 0,
                type, nullData ? nullptr : reinterpret_cast<const BYTE*>(data.data()),
                static_cast<DWORD>(data.size()));
            LONG want = Resolve(m, slot, &r);
            if (want == ERROR_SUCCESS && !(r.access & KEY_SET_VALUE))
                want = ERROR_ACCESS_DENIED;
            else if (want == ERROR_SUCCESS && !Writable(name))
                want = ERROR_INVALID_PARAMETER;
            if (want == ERROR_SUCCESS)
                SetValue(r.key, name, type, data);
            Expect(got, want, "RegSetValueExA");
            return;
        }
        case 5: {  // RegEnumKeyExA
            const DWORD index = in.Byte() % 6;
            LONG want = Resolve(m, slot, &r);
            if (want == ERROR_SUCCESS && !(r.access & KEY_ENUMERATE_SUB_KEYS))
                want = ERROR_ACCESS_DENIED;
            const MKey* child = nullptr;
            if (want == ERROR_SUCCESS) {
                if (index >= r.key->subkeys.size()) {
                    want = ERROR_NO_MORE_ITEMS;
                } else {
                    child = std::next(r.key->subkeys.begin(), index)->second.get();
                }
            }
            const DWORD bufferSize = BufferSize(in, child ? child->name.size() : 0);
            std::vector<char> buffer(bufferSize + 1, '\xCC');
            DWORD size = bufferSize;
            const LONG got =
                RegEnumKeyExA(slot < 2 ? kRoots[slot] : m.slots[slot].real, index, buffer.data(),
                              &size, nullptr, nullptr, nullptr, nullptr);
            DWORD wantSize = bufferSize;
            if (child != nullptr) {
                if (child->name.size() + 1 > bufferSize)
                    want = ERROR_MORE_DATA;
                else
                    wantSize = static_cast<DWORD>(child->name.size());
            }
            Expect(got, want, "RegEnumKeyExA");
            if (size != wantSize)
                Fail("RegEnumKeyExA's size");
            if (got == ERROR_SUCCESS && std::string(buffer.data()) != child->name)
                Fail("RegEnumKeyExA's name");
            if (buffer[bufferSize] != '\xCC')
                Fail("RegEnumKeyExA wrote past the buffer");
            return;
        }
        case 6: {  // RegEnumValueA
            const DWORD index = in.Byte() % 6;
            LONG want = Resolve(m, slot, &r);
            if (want == ERROR_SUCCESS && !(r.access & KEY_QUERY_VALUE))
                want = ERROR_ACCESS_DENIED;
            const MValue* v = nullptr;
            if (want == ERROR_SUCCESS) {
                if (index >= r.key->values.size())
                    want = ERROR_NO_MORE_ITEMS;
                else
                    v = &r.key->values[index];
            }
            const DWORD nameBuffer = BufferSize(in, v ? v->name.size() : 0);
            const bool withData = in.Byte() % 2 == 0;
            const DWORD dataBuffer = BufferSize(in, v ? v->data.size() : 0);
            std::vector<char> name(nameBuffer + 1, '\xCC');
            std::vector<BYTE> data(dataBuffer + 1, 0xCC);
            DWORD nameSize = nameBuffer, size = dataBuffer, type = 0xDEAD;
            const LONG got =
                RegEnumValueA(slot < 2 ? kRoots[slot] : m.slots[slot].real, index, name.data(),
                              &nameSize, nullptr, &type, withData ? data.data() : nullptr, &size);
            DWORD wantNameSize = nameBuffer, wantSize = dataBuffer, wantType = 0xDEAD;
            if (v != nullptr) {
                wantType = v->type;
                if (v->name.size() + 1 > nameBuffer) {
                    want = ERROR_MORE_DATA;
                } else if (withData && dataBuffer < v->data.size()) {
                    want = ERROR_MORE_DATA;
                    wantSize = static_cast<DWORD>(v->data.size());
                } else {
                    wantNameSize = static_cast<DWORD>(v->name.size());
                    wantSize = static_cast<DWORD>(v->data.size());
                }
            }
            Expect(got, want, "RegEnumValueA");
            if (nameSize != wantNameSize || size != wantSize || type != wantType)
                Fail("RegEnumValueA's sizes or type");
            if (got == ERROR_SUCCESS &&
                (std::string(name.data(), nameSize) != v->name ||
                 (withData && std::memcmp(data.data(), v->data.data(), v->data.size()) != 0)))
                Fail("RegEnumValueA's name or data");
            if (name[nameBuffer] != '\xCC' || data[dataBuffer] != 0xCC)
                Fail("RegEnumValueA wrote past a buffer");
            return;
        }
        case 7: {  // RegDeleteKeyA
            const std::string path = Path(in);
            const LONG got =
                RegDeleteKeyA(slot < 2 ? kRoots[slot] : m.slots[slot].real, path.c_str());
            LONG want = FindKey(m, slot, &path, &r);
            if (want == ERROR_SUCCESS && (r.key->parent == nullptr || !r.key->subkeys.empty()))
                want = ERROR_ACCESS_DENIED;
            Expect(got, want, "RegDeleteKeyA");
            if (want == ERROR_SUCCESS) {
                m.Removed(r.key);
                r.key->parent->subkeys.erase(r.key->name);
            }
            return;
        }
        case 8: {  // RegDeleteValueA
            const std::string name = Name(in);
            const LONG got =
                RegDeleteValueA(slot < 2 ? kRoots[slot] : m.slots[slot].real, name.c_str());
            LONG want = Resolve(m, slot, &r);
            if (want == ERROR_SUCCESS && !(r.access & KEY_SET_VALUE))
                want = ERROR_ACCESS_DENIED;
            if (want == ERROR_SUCCESS) {
                auto& values = r.key->values;
                auto it = std::find_if(values.begin(), values.end(), [&](const MValue& v) {
                    return registry::NamesEqual(v.name, name);
                });
                if (it == values.end())
                    want = ERROR_FILE_NOT_FOUND;
                else
                    values.erase(it);
            }
            Expect(got, want, "RegDeleteValueA");
            return;
        }
        case 9: {  // RegQueryValueA
            const std::string path = Path(in);
            bool named = false;
            LONG want = FindKey(m, slot, &path, &r, &named);
            if (want == ERROR_SUCCESS && !named && !(r.access & KEY_QUERY_VALUE))
                want = ERROR_ACCESS_DENIED;
            std::string stored("\0", 1);
            if (want == ERROR_SUCCESS)
                if (const MValue* v = r.key->FindValue(""))
                    stored = v->data;
            const LONG bufferSize = static_cast<LONG>(BufferSize(in, stored.size()));
            std::vector<char> buffer(bufferSize + 1, '\xCC');
            LONG size = bufferSize;
            const LONG got = RegQueryValueA(slot < 2 ? kRoots[slot] : m.slots[slot].real,
                                            path.c_str(), buffer.data(), &size);
            LONG wantSize = bufferSize;
            if (want == ERROR_SUCCESS) {
                wantSize = static_cast<LONG>(stored.size());
                if (bufferSize < wantSize)
                    want = ERROR_MORE_DATA;
            }
            Expect(got, want, "RegQueryValueA");
            if (size != wantSize)
                Fail("RegQueryValueA's size");
            if (got == ERROR_SUCCESS && std::memcmp(buffer.data(), stored.data(), stored.size()))
                Fail("RegQueryValueA's data");
            if (buffer[bufferSize] != '\xCC')
                Fail("RegQueryValueA wrote past the buffer");
            return;
        }
        case 10:  // a batch begins
            if (depth < 3) {
                registry::BoundFileStore()->BeginBatch();
                ++depth;
            }
            return;
        case 11:  // a batch ends
            if (depth > 0) {
                Expect(registry::BoundFileStore()->EndBatch(), ERROR_SUCCESS, "EndBatch");
                --depth;
            }
            return;
        case 12: {  // another program rewrites the file, changing one value or removing a key
            if (depth > 0)
                return;
            std::vector<std::string> parts;
            const std::string path = Path(in);
            if (SplitPath(&path, &parts) != ERROR_SUCCESS)
                return;
            MKey* key = &m.roots[slot % 2];
            for (const std::string& p : parts)
                key = AddSubkey(key, p);
            if (in.Byte() % 3 == 0 && key->parent != nullptr) {
                m.Removed(key);
                key->parent->subkeys.erase(key->name);
            } else {
                const std::string name = Name(in);
                if (Writable(name))  // no valid file holds any other
                    SetValue(key, name, REG_DWORD, in.Bytes(4));
            }
            const uint8_t f = in.Byte();
            WriteModel(m, file, registry::RegFileFormat{(f & 1) != 0, (f & 2) != 0});
            return;
        }
        case 13: {  // the store is opened afresh; its handles are gone
            if (depth > 0)
                return;
            if (std::string err = registry::OpenFileStore(file); !err.empty())
                Fail("reopening: " + err);
            for (Slot& s : m.slots)
                s = Slot{};
            return;
        }
        case 14: {  // DeleteKeyTree
            const std::string name = Name(in);
            const LONG got =
                DeleteKeyTree(slot < 2 ? kRoots[slot] : m.slots[slot].real, name.c_str());
            LONG want = FindKey(m, slot, &name, &r);
            if (want == ERROR_SUCCESS) {
                // Depth first: everything below goes, then the key itself, which fails for a
                // root.
                for (auto& [n, child] : r.key->subkeys)
                    m.Removed(child.get());
                r.key->subkeys.clear();
                if (r.key->parent == nullptr) {
                    want = ERROR_ACCESS_DENIED;
                } else {
                    m.Removed(r.key);
                    r.key->parent->subkeys.erase(r.key->name);
                }
            }
            Expect(got, want, "DeleteKeyTree");
            return;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = Folder() + "/registry.reg";
    std::filesystem::remove(file + ".bak");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << kSeed;
    if (std::string err = registry::OpenFileStore(file); !err.empty())
        Fail(err);
    Model m;
    Seed(m);
    Input in(data, size);
    int depth = 0;
    for (int steps = 0; !in.Done() && steps < 200; ++steps)
        Step(in, m, depth, file);
    while (depth-- > 0)
        Expect(registry::BoundFileStore()->EndBatch(), ERROR_SUCCESS, "EndBatch");
    const std::string want = DumpModel(m);
    if (DumpStore() != want)
        Fail("the store's content:\n" + DumpStore() + "\nthe model's:\n" + want);
    if (std::string err = registry::OpenFileStore(file); !err.empty())
        Fail("the written file: " + err);
    if (DumpStore() != want)
        Fail("the file's content:\n" + DumpStore() + "\nthe model's:\n" + want);
    registry::CloseFileStore();
    return 0;
}
