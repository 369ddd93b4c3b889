#include "registry/area_copy.h"

#include <utility>

#include "registry/reg_text.h"
#include "registry/write_hook.h"

namespace registry {

#ifdef _WIN32
namespace {

// Without it a watch fires when the thread that armed it ends, and loads run on threads that
// end. Windows before 8 refuses the flag: the copy is then never current, and is read again.
#ifndef REG_NOTIFY_THREAD_AGNOSTIC
#define REG_NOTIFY_THREAD_AGNOSTIC 0x10000000L
#endif
constexpr DWORD kWatchedChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                                  REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY |
                                  REG_NOTIFY_THREAD_AGNOSTIC;

// What tells one key from another made again at the same path.
struct KeyState {
    DWORD subkeys = 0;
    DWORD values = 0;
    FILETIME written{};

    bool operator==(const KeyState& other) const {
        return subkeys == other.subkeys && values == other.values &&
               written.dwLowDateTime == other.written.dwLowDateTime &&
               written.dwHighDateTime == other.written.dwHighDateTime;
    }
};

bool QueryState(HKEY key, KeyState* state) {
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &state->subkeys, nullptr, nullptr,
                            &state->values, nullptr, nullptr, nullptr,
                            &state->written) == ERROR_SUCCESS;
}

}  // namespace
#endif

struct AreaCopy::Area {
    std::string path;
    KeySnapshot contents;
    bool present = false;
    bool whole = false;
#ifdef _WIN32
    HKEY key = nullptr;  // kept open: the watch lives as long as its handle
    HANDLE changed = nullptr;
    bool armed = false;
    KeyState state;

    ~Area() {
        if (key)
            RegCloseKey(key);
        if (changed)
            CloseHandle(changed);
    }

    // Before the read, so that a change made while it runs fires too.
    void Watch() {
        changed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        armed = changed &&
                RegNotifyChangeKeyValue(key, TRUE, kWatchedChanges, changed, TRUE) == ERROR_SUCCESS;
        armed = armed && QueryState(key, &state);
    }

    bool Unchanged() const {
        if (!armed || WaitForSingleObject(changed, 0) != WAIT_TIMEOUT)
            return false;
        HKEY now = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &now) !=
            ERROR_SUCCESS)
            return false;
        KeyState nowState;
        const bool same = QueryState(now, &nowState) && nowState == state;
        RegCloseKey(now);
        return same;
    }
#endif
};

AreaCopy::AreaCopy() = default;
AreaCopy::~AreaCopy() = default;
AreaCopy::AreaCopy(AreaCopy&&) noexcept = default;
AreaCopy& AreaCopy::operator=(AreaCopy&&) noexcept = default;

AreaCopy AreaCopy::Read(const std::vector<std::string_view>& paths) {
    AreaCopy copy;
    copy.changes_ = RegistryChangeCount();
    for (std::string_view path : paths) {
        auto area = std::make_unique<Area>();
        area->path = std::string(path);
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, area->path.c_str(), 0, KEY_READ, &key) ==
            ERROR_SUCCESS) {
            area->present = true;
#ifdef _WIN32
            area->key = key;
            area->Watch();
#endif
            area->whole = ReadKeySnapshotSideBySide(key, &area->contents) == ERROR_SUCCESS;
#ifndef _WIN32
            RegCloseKey(key);
#endif
        }
        copy.areas_.push_back(std::move(area));
    }
    return copy;
}

const KeySnapshot* AreaCopy::Contents(std::string_view path) const {
    for (const auto& area : areas_)
        if (area->present && NamesEqual(area->path, path))
            return &area->contents;
    return nullptr;
}

std::optional<KeySnapshot> AreaCopy::Take(std::string_view path) {
    for (const auto& area : areas_)
        if (area->present && NamesEqual(area->path, path)) {
            area->whole = false;
            return std::move(area->contents);
        }
    return std::nullopt;
}

bool AreaCopy::Current() const {
    if (areas_.empty())
        return false;
    for (const auto& area : areas_) {
        if (!area->present || !area->whole)
            return false;
#ifdef _WIN32
        if (!area->Unchanged())
            return false;
#endif
    }
#ifdef _WIN32
    return true;
#else
    return RegistryChangeCount() == changes_;
#endif
}

}  // namespace registry
