// The .reg file store: the registry calls' semantics over the key tree, and the registry entry
// points away from Windows. The file's lock, reads and writes are store_file's.
#ifndef _WIN32

#include "registry/file_store.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "registry/key_tree.h"
#include "registry/reg_text.h"
#include "registry/registry_store.h"
#include "registry/store_file.h"
#include "registry/write_hook.h"

namespace registry {

namespace {

constexpr LONG kErrorBadPathname = 161;
constexpr LONG kErrorNoAccess = 998;
constexpr REGSAM kDelete = 0x00010000;
constexpr REGSAM kWriteDac = 0x00040000;
constexpr REGSAM kWriteOwner = 0x00080000;
constexpr REGSAM kMaximumAllowed = 0x02000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kGenericExecute = 0x20000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kWriteBits =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | kDelete | kWriteDac | kWriteOwner;
constexpr size_t kMaxKeyNameLength = 255;

// Handle values are unique across stores, so a handle of one store is never taken for
// another's; they stay far below the predefined roots.
std::atomic<uintptr_t> g_nextHandle{0x1000};

bool RootOf(HKEY key, RegRoot* root) {
    if (key == HKEY_LOCAL_MACHINE)
        *root = RegRoot::LocalMachine;
    else if (key == HKEY_CURRENT_USER)
        *root = RegRoot::CurrentUser;
    else if (key == HKEY_CLASSES_ROOT)
        *root = RegRoot::ClassesRoot;
    else if (key == HKEY_USERS)
        *root = RegRoot::Users;
    else
        return false;
    return true;
}

// Generic rights as the registry maps them onto key rights.
REGSAM MapAccess(REGSAM access, bool writable) {
    if (access & kMaximumAllowed)
        access |= writable ? KEY_ALL_ACCESS : KEY_READ;
    if (access & kGenericRead)
        access |= KEY_READ;
    if (access & kGenericWrite)
        access |= KEY_WRITE;
    if (access & kGenericExecute)
        access |= KEY_READ;
    if (access & kGenericAll)
        access |= KEY_ALL_ACCESS;
    return access &
           ~(kMaximumAllowed | kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
}

// Splits a subkey path. As in the system registry, a leading backslash is a bad path, while a
// run of backslashes inside separates like one and trailing ones are ignored.
LONG SplitPath(LPCSTR path, std::vector<std::string_view>* parts) {
    parts->clear();
    if (path == nullptr || *path == 0)
        return ERROR_SUCCESS;
    std::string_view rest(path);
    if (rest.front() == '\\')
        return kErrorBadPathname;
    while (!rest.empty()) {
        size_t next = rest.find('\\');
        std::string_view part = rest.substr(0, next);
        if (!part.empty()) {
            if (part.size() > kMaxKeyNameLength || !IsWritableRegName(part))
                return ERROR_INVALID_PARAMETER;
            parts->push_back(part);
        }
        if (next == std::string_view::npos)
            break;
        rest.remove_prefix(next + 1);
    }
    return ERROR_SUCCESS;
}

LONG ErrnoToResult(int e) {
    switch (e) {
        case EACCES:
        case EPERM:
        case EROFS:
            return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        default:
            return ERROR_WRITE_FAULT;
    }
}

struct OpenHandle {
    KeyTree::Node node;  // KeyTree::kNoNode once the key is deleted
    RegRoot root;
    REGSAM access;
};

std::unique_ptr<FileStore> g_store;

}  // namespace

struct FileStore::Impl {
    explicit Impl(std::string path) : file(std::move(path)) {}

    StoreFile file;
    std::unique_ptr<KeyTree> tree = std::make_unique<KeyTree>();
    RegFileFormat format;
    bool loaded = false;
    bool stale = false;  // memory holds changes a failed write lost: read again
    bool dirty = false;
    bool discardWrites = false;
    bool backupDone = false;
    int depth = 0;
    LONG batchStatus = ERROR_SUCCESS;  // why calls in the current batch fail, if they do
    std::unordered_map<uintptr_t, OpenHandle> handles;
    std::string error;
    std::function<LONG(const std::string&)> deleteHook;
    std::chrono::milliseconds lockTimeout{10000};
    int parses = 0;
    int writes = 0;

    void SetError(std::string message) { error = std::move(message); }
    const std::string& path() const { return file.Path(); }

    // ---- Reading ----

    // Brings memory up to the file under the lock; parses only when the bytes changed. The
    // file is read in pieces, never held whole: once to see whether its bytes changed (unless
    // nothing is loaded yet), and when they did once more to parse them.
    LONG Refresh() {
        if (std::string err = file.Examine(); !err.empty()) {
            SetError(err);
            return ERROR_REGISTRY_IO_FAILED;
        }
        const bool current = loaded && !stale;
        if (current && file.KnownUnchanged())
            return ERROR_SUCCESS;
        if (current) {
            bool same = false;
            if (int e = file.CheckUnchanged(&same))
                return ReadFailed(e);
            if (same)
                return ERROR_SUCCESS;
        }
        auto fresh = std::make_unique<KeyTree>();
        RegFileFormat freshFormat;
        std::string err;
        if (int e = file.Read([&](RegTextSource* source) {
                err = ParseRegText(source, path(), fresh.get(), &freshFormat);
                return err.empty();
            }))
            return ReadFailed(e);
        if (!err.empty()) {
            SetError(err);
            return ERROR_BADDB;
        }
        ++parses;
        ReplaceTree(std::move(fresh));
        format = freshFormat;
        loaded = true;
        stale = false;
        return ERROR_SUCCESS;
    }

    LONG ReadFailed(int e) {
        SetError(path() + ": cannot read the registry file: " + std::strerror(e));
        return ERROR_REGISTRY_IO_FAILED;
    }

    // Moves open handles over to the same keys of a new tree; a handle whose key is gone
    // counts as deleted.
    void ReplaceTree(std::unique_ptr<KeyTree> fresh) {
        for (auto& [id, h] : handles) {
            if (h.node == KeyTree::kNoNode)
                continue;
            std::vector<std::string_view> names;
            for (KeyTree::Node n = h.node; tree->Parent(n) != KeyTree::kNoNode; n = tree->Parent(n))
                names.push_back(tree->Name(n));
            KeyTree::Node node = KeyTree::Root(h.root);
            for (auto it = names.rbegin(); node != KeyTree::kNoNode && it != names.rend(); ++it)
                node = fresh->FindSubkey(node, *it);
            h.node = node;
        }
        tree = std::move(fresh);
    }

    // ---- Writing ----

    LONG Write() {
        PageBuffer previous;
        if (file.ChangedBehindTheLock(!backupDone, &previous))
            return ChangedBehindTheLock();
        if (!backupDone) {
            if (int e = file.WriteBackup(previous.View())) {
                SetError(path() + ".bak: cannot keep the previous registry file: " +
                         std::strerror(e) + "; nothing was written");
                return ErrnoToResult(e);
            }
            backupDone = true;
        }
        previous = PageBuffer();
        const PageBuffer text = WriteRegFile(*tree, format, file.LastSize() + file.LastSize() / 8);
        if (int e = file.Write(text.View())) {
            if (file.ReplacedBehindTheLock())
                return ChangedBehindTheLock();
            SetError(path() + ": cannot write the registry file: " + std::strerror(e) +
                     "; the file is unchanged");
            return ErrnoToResult(e);
        }
        file.RememberWritten(text.View());
        ++writes;
        return ERROR_SUCCESS;
    }

    LONG ChangedBehindTheLock() {
        SetError(path() +
                 ": another program changed the registry file while it was in use; "
                 "nothing was written and the file will be read again");
        return ERROR_REGISTRY_IO_FAILED;
    }

    // ---- Batches ----

    void BeginBatch() {
        if (depth++ > 0)
            return;
        batchStatus = ERROR_SUCCESS;
        if (std::string err = file.Lock(lockTimeout); !err.empty()) {
            SetError(err);
            batchStatus = ERROR_REGISTRY_IO_FAILED;
            return;
        }
        batchStatus = Refresh();
    }

    LONG EndBatch() {
        if (depth == 0)
            return ERROR_SUCCESS;
        if (--depth > 0)
            return ERROR_SUCCESS;
        LONG result = ERROR_SUCCESS;
        if (dirty && discardWrites) {
            stale = true;  // memory no longer matches the file: the next batch reads it again
        } else if (dirty && batchStatus == ERROR_SUCCESS) {
            result = Write();
            if (result != ERROR_SUCCESS)
                stale = true;  // drop what was not written; the next call reads the file
        }
        dirty = false;
        batchStatus = ERROR_SUCCESS;
        file.Unlock();
        tree->CompactIfWasteful();
        return result;
    }

    // One call: inside a batch it just runs; alone it reads fresh and writes at once.
    template <typename F>
    LONG Run(F&& call) {
        BeginBatch();
        LONG result = batchStatus != ERROR_SUCCESS ? batchStatus : call();
        LONG written = EndBatch();
        return result != ERROR_SUCCESS ? result : written;
    }

    // ---- Keys ----

    // The key an open handle (or a root) stands for, when the handle holds every right in
    // `access`; rights that write also need a file that can be written. `info` receives the
    // handle's root and rights.
    LONG ResolveFor(HKEY key, REGSAM access, KeyTree::Node* node, OpenHandle* info = nullptr) {
        OpenHandle found;
        RegRoot root;
        if (RootOf(key, &root)) {
            found = OpenHandle{KeyTree::Root(root), root, KEY_ALL_ACCESS};
        } else {
            auto it = handles.find(reinterpret_cast<uintptr_t>(key));
            if (it == handles.end())
                return ERROR_INVALID_HANDLE;
            if (it->second.node == KeyTree::kNoNode)
                return ERROR_KEY_DELETED;
            found = it->second;
        }
        if ((found.access & access) != access || ((access & kWriteBits) && !file.Writable()))
            return ERROR_ACCESS_DENIED;
        *node = found.node;
        if (info != nullptr)
            *info = found;
        return ERROR_SUCCESS;
    }

    // The existing key `subKey` names below `key`; `named` tells whether the path named a
    // subkey at all (the empty path is the key itself).
    LONG FindKey(HKEY key, LPCSTR subKey, KeyTree::Node* node, OpenHandle* info,
                 bool* named = nullptr) {
        if (LONG r = ResolveFor(key, 0, node, info))
            return r;
        std::vector<std::string_view> parts;
        if (LONG r = SplitPath(subKey, &parts))
            return r;
        if (named != nullptr)
            *named = !parts.empty();
        for (std::string_view part : parts) {
            *node = tree->FindSubkey(*node, part);
            if (*node == KeyTree::kNoNode)
                return ERROR_FILE_NOT_FOUND;
        }
        return ERROR_SUCCESS;
    }

    HKEY NewHandle(KeyTree::Node node, RegRoot root, REGSAM access) {
        uintptr_t id = g_nextHandle.fetch_add(4);
        handles[id] = OpenHandle{node, root, access};
        return reinterpret_cast<HKEY>(id);
    }

    LONG OpenKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = FindKey(key, subKey, &node, &info))
            return r;
        access = MapAccess(access, file.Writable());
        if ((access & kWriteBits) && !file.Writable())
            return ERROR_ACCESS_DENIED;
        *result = NewHandle(node, info.root, access);
        return ERROR_SUCCESS;
    }

    LONG CreateKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = ResolveFor(key, 0, &node, &info))
            return r;
        std::vector<std::string_view> parts;
        if (LONG r = SplitPath(subKey, &parts))
            return r;
        size_t i = 0;
        for (; i < parts.size(); ++i) {
            KeyTree::Node child = tree->FindSubkey(node, parts[i]);
            if (child == KeyTree::kNoNode)
                break;
            node = child;
        }
        const bool creating = i < parts.size();
        access = MapAccess(access, file.Writable());
        if (((access & kWriteBits) || creating) && !file.Writable())
            return ERROR_ACCESS_DENIED;
        if (creating && i == 0 && !(info.access & KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        for (; i < parts.size(); ++i)
            node = tree->AddSubkey(node, parts[i]);
        if (creating)
            dirty = true;
        if (disposition)
            *disposition = creating ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        *result = NewHandle(node, info.root, access);
        return ERROR_SUCCESS;
    }

    LONG QueryValueEx(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
        KeyTree::Node node;
        if (LONG r = ResolveFor(key, KEY_QUERY_VALUE, &node))
            return r;
        if (data != nullptr && size == nullptr)
            return ERROR_INVALID_PARAMETER;
        const long found = tree->FindValue(node, name ? name : "");
        if (found < 0)
            return ERROR_FILE_NOT_FOUND;
        const KeyTree::ValueView value = tree->ValueAt(node, static_cast<size_t>(found));
        if (type)
            *type = value.type;
        if (size == nullptr)
            return ERROR_SUCCESS;
        const DWORD needed = static_cast<DWORD>(value.size);
        if (data != nullptr) {
            if (*size < needed) {
                *size = needed;
                return ERROR_MORE_DATA;
            }
            std::memcpy(data, value.data, value.size);
        }
        *size = needed;
        return ERROR_SUCCESS;
    }

    LONG SetValueEx(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
        KeyTree::Node node;
        if (LONG r = ResolveFor(key, KEY_SET_VALUE, &node))
            return r;
        if (data == nullptr && size != 0)
            return kErrorNoAccess;
        if (name && !IsWritableRegName(name))
            return ERROR_INVALID_PARAMETER;
        tree->SetValue(node, name ? name : "", type, data, size);
        dirty = true;
        return ERROR_SUCCESS;
    }

    LONG EnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPSTR keyClass,
                   LPDWORD classSize, PFILETIME lastWrite) {
        KeyTree::Node node;
        if (LONG r = ResolveFor(key, KEY_ENUMERATE_SUB_KEYS, &node))
            return r;
        if (name == nullptr || nameSize == nullptr)
            return ERROR_INVALID_PARAMETER;
        const KeyTree::Node child = tree->SubkeyAt(node, index);
        if (child == KeyTree::kNoNode)
            return ERROR_NO_MORE_ITEMS;
        const std::string_view found = tree->Name(child);
        if (found.size() + 1 > *nameSize)
            return ERROR_MORE_DATA;
        std::memcpy(name, found.data(), found.size());
        name[found.size()] = 0;
        *nameSize = static_cast<DWORD>(found.size());
        if (classSize) {
            if (keyClass && *classSize > 0)
                keyClass[0] = 0;
            *classSize = 0;
        }
        if (lastWrite)
            *lastWrite = FILETIME{0, 0};
        return ERROR_SUCCESS;
    }

    LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD type, LPBYTE data,
                   LPDWORD size) {
        KeyTree::Node node;
        if (LONG r = ResolveFor(key, KEY_QUERY_VALUE, &node))
            return r;
        if (name == nullptr || nameSize == nullptr || (data != nullptr && size == nullptr))
            return ERROR_INVALID_PARAMETER;
        if (index >= tree->ValueCount(node))
            return ERROR_NO_MORE_ITEMS;
        const KeyTree::ValueView value = tree->ValueAt(node, index);
        const DWORD needed = static_cast<DWORD>(value.size);
        if (type)
            *type = value.type;
        if (value.name.size() + 1 > *nameSize)
            return ERROR_MORE_DATA;
        if (data != nullptr && *size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(name, value.name.data(), value.name.size());
        name[value.name.size()] = 0;
        *nameSize = static_cast<DWORD>(value.name.size());
        if (data != nullptr && value.size > 0)
            std::memcpy(data, value.data, value.size);
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }

    LONG DeleteKey(HKEY key, LPCSTR subKey) {
        // The empty name deletes the key itself; no name at all is refused, as by the system.
        if (subKey == nullptr)
            return ERROR_INVALID_PARAMETER;
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = FindKey(key, subKey, &node, &info))
            return r;
        const KeyTree::Node parent = tree->Parent(node);
        // A key with subkeys is refused whatever the rights, before the hook is asked.
        if (parent != KeyTree::kNoNode && tree->SubkeyCount(node) != 0)
            return ERROR_ACCESS_DENIED;
        if (deleteHook && parent != KeyTree::kNoNode) {
            std::vector<std::string_view> names;
            for (KeyTree::Node n = node; tree->Parent(n) != KeyTree::kNoNode; n = tree->Parent(n))
                names.push_back(tree->Name(n));
            std::string fullPath = RegRootName(info.root);
            for (auto it = names.rbegin(); it != names.rend(); ++it) {
                fullPath.push_back('\\');
                fullPath.append(*it);
            }
            if (LONG r = deleteHook(fullPath))
                return r;
        }
        if (parent == KeyTree::kNoNode || !file.Writable() || tree->SubkeyCount(node) != 0)
            return ERROR_ACCESS_DENIED;
        for (auto& [id, h] : handles)
            if (h.node == node)
                h.node = KeyTree::kNoNode;
        tree->RemoveSubkey(parent, node);
        dirty = true;
        return ERROR_SUCCESS;
    }

    LONG DeleteValue(HKEY key, LPCSTR name) {
        KeyTree::Node node;
        if (LONG r = ResolveFor(key, KEY_SET_VALUE, &node))
            return r;
        if (!tree->RemoveValue(node, name ? name : ""))
            return ERROR_FILE_NOT_FOUND;
        dirty = true;
        return ERROR_SUCCESS;
    }

    LONG QueryValue(HKEY key, LPCSTR subKey, LPSTR data, PLONG size) {
        KeyTree::Node node;
        OpenHandle info;
        bool named = false;
        if (LONG r = FindKey(key, subKey, &node, &info, &named))
            return r;
        if (!named && !(info.access & KEY_QUERY_VALUE))
            return ERROR_ACCESS_DENIED;
        // The unnamed value's bytes as stored, whatever their type and whether or not they end
        // in a zero, as the system hands them out; a missing value reads as the empty string.
        static const uint8_t kEmpty[1] = {0};
        const long found = tree->FindValue(node, "");
        const KeyTree::ValueView value = found >= 0
                                             ? tree->ValueAt(node, static_cast<size_t>(found))
                                             : KeyTree::ValueView{{}, REG_SZ, kEmpty, 1};
        const LONG needed = static_cast<LONG>(value.size);
        if (size == nullptr)
            return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
        if (data != nullptr) {
            if (*size < needed) {
                *size = needed;
                return ERROR_MORE_DATA;
            }
            if (value.size > 0)
                std::memcpy(data, value.data, value.size);
        }
        *size = needed;
        return ERROR_SUCCESS;
    }
};

FileStore::FileStore(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

FileStore::~FileStore() {
    while (impl_->depth > 0)
        impl_->EndBatch();
}

std::unique_ptr<FileStore> FileStore::Open(const std::string& path, std::string* error) {
    // Writes replace the file by renaming, which would replace a symbolic link with a plain
    // file; work on the file the link points to instead.
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            target = real;
        std::free(real);
    }
    auto impl = std::make_unique<Impl>(std::move(target));
    impl->BeginBatch();
    LONG status = impl->batchStatus;
    impl->EndBatch();
    if (status != ERROR_SUCCESS) {
        if (error)
            *error = impl->error;
        return nullptr;
    }
    if (error)
        error->clear();
    return std::unique_ptr<FileStore>(new FileStore(std::move(impl)));
}

LONG FileStore::OpenKey(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return impl_->Run([&] { return impl_->OpenKey(key, subKey, access, result); });
}

LONG FileStore::CreateKey(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access,
                          LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return impl_->Run([&] { return impl_->CreateKey(key, subKey, access, result, disposition); });
}

LONG FileStore::CloseKey(HKEY key) {
    RegRoot root;
    if (RootOf(key, &root))
        return ERROR_SUCCESS;
    return impl_->handles.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS
                                                                  : ERROR_INVALID_HANDLE;
}

LONG FileStore::QueryValueEx(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD size) {
    return impl_->Run([&] { return impl_->QueryValueEx(key, name, type, data, size); });
}

LONG FileStore::SetValueEx(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    return impl_->Run([&] { return impl_->SetValueEx(key, name, type, data, size); });
}

LONG FileStore::EnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD,
                          LPSTR keyClass, LPDWORD classSize, PFILETIME lastWrite) {
    return impl_->Run([&] {
        return impl_->EnumKeyEx(key, index, name, nameSize, keyClass, classSize, lastWrite);
    });
}

LONG FileStore::EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD,
                          LPDWORD type, LPBYTE data, LPDWORD size) {
    return impl_->Run(
        [&] { return impl_->EnumValue(key, index, name, nameSize, type, data, size); });
}

LONG FileStore::DeleteKey(HKEY key, LPCSTR subKey) {
    return impl_->Run([&] { return impl_->DeleteKey(key, subKey); });
}

LONG FileStore::DeleteValue(HKEY key, LPCSTR name) {
    return impl_->Run([&] { return impl_->DeleteValue(key, name); });
}

LONG FileStore::QueryValue(HKEY key, LPCSTR subKey, LPSTR data, PLONG size) {
    return impl_->Run([&] { return impl_->QueryValue(key, subKey, data, size); });
}

void FileStore::BeginBatch() {
    impl_->BeginBatch();
}
LONG FileStore::EndBatch() {
    return impl_->EndBatch();
}
int FileStore::BatchDepth() const {
    return impl_->depth;
}
std::string FileStore::TakeError() {
    return std::exchange(impl_->error, {});
}
const std::string& FileStore::Path() const {
    return impl_->path();
}
RegFileFormat FileStore::Format() const {
    return impl_->format;
}
void FileStore::SetDiscardWrites(bool discard) {
    impl_->discardWrites = discard;
}
void FileStore::SetWriteFaultHook(std::function<int(WriteStage)> hook) {
    impl_->file.SetWriteFaultHook(std::move(hook));
}
void FileStore::SetDeleteFaultHook(std::function<LONG(const std::string&)> hook) {
    impl_->deleteHook = std::move(hook);
}
void FileStore::SetLockTimeout(std::chrono::milliseconds timeout) {
    impl_->lockTimeout = timeout;
}
int FileStore::ParseCount() const {
    return impl_->parses;
}
int FileStore::WriteCount() const {
    return impl_->writes;
}

FileStore* BoundFileStore() {
    return g_store.get();
}

// ---- The global surface ----

std::string OpenFileStore(const std::string& path, StoreWrites writes) {
    registry::NoteRegistryReplaced();
    g_store.reset();
    std::string error;
    g_store = FileStore::Open(path, &error);
    if (g_store)
        g_store->SetDiscardWrites(writes == StoreWrites::Discard);
    return error;
}

std::optional<RegFileFormat> FileStoreFormat() {
    if (!g_store)
        return std::nullopt;
    return g_store->Format();
}

void CloseFileStore() {
    registry::NoteRegistryReplaced();
    g_store.reset();
}

RegistryBatch::RegistryBatch() {
    if (g_store)
        g_store->BeginBatch();
}

RegistryBatch::~RegistryBatch() {
    if (g_store)
        g_store->EndBatch();
}

std::string TakeStoreError() {
    return g_store ? g_store->TakeError() : std::string();
}

}  // namespace registry

using registry::g_store;

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                   PHKEY phkResult) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->OpenKey(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    if (const LONG refused = registry::BeforeRegistryWrite())
        return refused;
    return g_store->CreateKey(hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired,
                              lpSecurityAttributes, phkResult, lpdwDisposition);
}

LONG RegCloseKey(HKEY hKey) {
    if (!g_store) {
        registry::RegRoot root;
        return registry::RootOf(hKey, &root) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    }
    return g_store->CloseKey(hKey);
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->QueryValueEx(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    if (const LONG refused = registry::BeforeRegistryWrite())
        return refused;
    return g_store->SetValueEx(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->EnumKeyEx(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass,
                              lpftLastWriteTime);
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType,
                              lpData, lpcbData);
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    if (const LONG refused = registry::BeforeRegistryWrite())
        return refused;
    return g_store->DeleteKey(hKey, lpSubKey);
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    if (const LONG refused = registry::BeforeRegistryWrite())
        return refused;
    return g_store->DeleteValue(hKey, lpValueName);
}

LONG RegQueryValueA(HKEY hKey, LPCSTR lpSubKey, LPSTR lpData, PLONG lpcbData) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->QueryValue(hKey, lpSubKey, lpData, lpcbData);
}

#endif
