#pragma once
// Areas read whole at a page's load and kept with a watch on each, so that the journal before
// that page's save is written from this copy instead of reading the areas a second time: while
// nothing in them has changed since, the copy is what is stored.
//
//   area.asRead = registry::AreaCopy::Read({kPathKeyPath, kConfigKeyPath});   // at load
//   const registry::KeySnapshot* path = area.asRead.Contents(kPathKeyPath);  // the records
//   ...
//   if (asRead->Current()) ...                          // before the save: still what is stored
//
// On the system registry each area's key is watched with RegNotifyChangeKeyValue (its whole
// subtree: names, values, security), armed before the read, and reopened by its path to see
// that it is still the key that was read: a key deleted or made again does not signal a watch
// on every system. On the file store, where this process is the only writer while the store is
// open, a copy is current while the process has changed nothing in the registry.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/key_snapshot.h"

namespace registry {

class AreaCopy {
  public:
    AreaCopy();
    ~AreaCopy();
    AreaCopy(AreaCopy&&) noexcept;
    AreaCopy& operator=(AreaCopy&&) noexcept;

    // Watches each of `paths` (keys under HKEY_LOCAL_MACHINE) and then reads it whole; the
    // subtrees are read side by side where the store allows (ReadKeySnapshotSideBySide).
    static AreaCopy Read(const std::vector<std::string_view>& paths);

    // The contents of the area `path` (compared as the registry compares names) as read, with
    // everything that could be read in it; null for an area that was missing or not asked for.
    const KeySnapshot* Contents(std::string_view path) const;

    // Hands over the contents of `path` (none as for Contents); the copy then no longer holds
    // them and is never current again.
    std::optional<KeySnapshot> Take(std::string_view path);

    // Whether the copy is what is stored now: every area was there and read whole, each watch
    // is armed and has not fired, and each key is still the one read.
    bool Current() const;

  private:
    struct Area;
    std::vector<std::unique_ptr<Area>> areas_;
    unsigned long changes_ = 0;  // RegistryChangeCount() before the read
};

}  // namespace registry
