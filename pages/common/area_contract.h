#pragma once
// What every page and its registry area agree on. Each page's layout describes its area once, in
// an AreaDescriptor (the only place its key paths are spelled), loads it into one area type and
// saves it from there, and both report in an AreaResult. The page table, the start-up message and
// the export for import are built from the descriptors.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// No registry header here: on Windows it brings <windows.h>, whose macros (LoadIcon, ...) would
// then reach every page and window that includes this.
class RegistryKey;
namespace registry {
struct KeySnapshot;
class AreaCopy;
}  // namespace registry

namespace common {

// One page's registry area, all under HKEY_LOCAL_MACHINE.
struct AreaDescriptor {
    std::string_view name;  // the area as a person would call it ("Display")
    // Every key the page rewrites; an export for import deletes and writes each of them.
    std::span<const std::string_view> keys;
    // The keys the start-up message names, one a line, when the page's load fails.
    std::span<const std::string_view> messageKeys;
    // The page writes only the values of its keys, never a subkey, and deletes nothing: the
    // subkeys belong to other pages, so a journal or backup of this area holds the values only.
    bool valuesOnly = false;
};

// The start-up message's key text of `area`: its message keys, one a line.
std::string MessageKeyText(const AreaDescriptor& area);

// What one Load or Save of an area did.
struct AreaResult {
    AreaResult() = default;
    explicit AreaResult(const AreaDescriptor& descriptor) : area(&descriptor) {}

    // Null for a page without a descriptor of its own.
    const AreaDescriptor* area = nullptr;
    // The keys that were opened (a load reads them), in that order.
    std::vector<std::string_view> read;
    // A load: the keys that could not be opened. A save: the keys whose delete failed, each left
    // as it was (what else the save did is its layout's to say).
    std::vector<std::string_view> failed;
    // The result code of the first failure that had one (0 when none did).
    std::int32_t error = 0;

    void AddRead(std::string_view key) { read.push_back(key); }
    void AddFailure(std::string_view key, std::int32_t code = 0) {
        if (error == 0)
            error = code;
        failed.push_back(key);
    }
    bool WasRead(std::string_view key) const;
    bool HasFailed(std::string_view key) const;
    bool Ok() const { return failed.empty(); }
    explicit operator bool() const { return Ok(); }
    // The start-up message's key text for a failed load; empty when nothing failed.
    std::string MessageKeyText() const;
};

// Opens the key `path` below HKEY_LOCAL_MACHINE for `access`, noting in `result` that it was
// read or that it failed (with the open's result code). True when it opened. `result` keeps a
// view of `path`: it must outlive it (the layouts' constants do).
bool OpenAreaKey(RegistryKey& key, std::string_view path, std::uint32_t access, AreaResult& result);

// A load that makes its records from a copy of its keys (registry/area_copy.h), which is then
// also the journal's before the save: each of `area`'s keys is opened as the loads open them
// (OpenAreaKey, full access), then all are read whole into `copy`. The contents of each key that
// opened, in the order of `area.keys` (none for one that did not), for the records to take: a
// copy where saves are journalled, else the copy's own, which is then left empty.
std::vector<std::optional<registry::KeySnapshot>> ReadAreaCopy(const AreaDescriptor& area,
                                                               registry::AreaCopy& copy,
                                                               AreaResult& result);

// A save's last step for the area key `path`: settles `wanted` (registry::Settle) and makes the
// key hold it (registry::ReplaceKeyTree). False, with the failure in `result`, when that failed.
// `valuesByName`: the area's values are read by name only, so their order is free
// (registry::ValueOrder::Free).
bool ReplaceAreaKey(const char* path, registry::KeySnapshot& wanted, AreaResult& result,
                    bool valuesByName = false);

}  // namespace common
