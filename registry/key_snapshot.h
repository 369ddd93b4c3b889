#pragma once
// A raw copy of a registry key with everything below it: every value's name, type and bytes,
// every subkey, read and written through the Reg*A entry points only. A page keeps what its
// layout does not understand in such a snapshot at load time and writes it back after its own
// keys, so "&Apply" (which deletes and rewrites a whole area) never erases foreign data.
//
//   registry::KeySnapshot kept;
//   registry::ReadKeySnapshot(openKey, &kept);          // at load
//   kept.RemoveValue("Width");                          // drop what the page writes itself
//   registry::WriteKeySnapshot(HKEY_LOCAL_MACHINE, path, kept);   // at save, after the page
//
// A snapshot is a plain value: copy, move and edit it freely. Names compare as the registry
// compares them (without regard to case).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/reg_text.h"
#include "registry/win_registry.h"

namespace registry {

struct KeySnapshot {
    std::string name;                  // the key's name as enumerated ("" for the snapshot's top)
    std::vector<RegValue> values;      // in enumeration order
    std::vector<KeySnapshot> subkeys;  // in enumeration order

    // True when the key holds neither values nor subkeys.
    bool Empty() const { return values.empty() && subkeys.empty(); }

    const RegValue* FindValue(std::string_view valueName) const;
    KeySnapshot* FindSubkey(std::string_view subkeyName);
    const KeySnapshot* FindSubkey(std::string_view subkeyName) const;
    // Both return false when there was nothing of that name.
    bool RemoveValue(std::string_view valueName);
    bool RemoveSubkey(std::string_view subkeyName);
    // Removes the subkey and hands it over; none when there is no subkey of that name.
    std::optional<KeySnapshot> TakeSubkey(std::string_view subkeyName);
};

// Whether `value` holds exactly what a save writes for `text` as a REG_SZ (its characters and
// one terminating zero) or for `number` as a REG_DWORD (4 bytes, low byte first).
bool HoldsText(const RegValue& value, std::string_view text);
bool HoldsNumber(const RegValue& value, std::uint32_t number);

// A layout value read at load passes from `kept` to the page's record when the save will write
// it back with the very same bytes: it is removed from `kept` if it holds `text` / `number`
// (HoldsText, HoldsNumber). In any other form it stays in `kept`, to go back as it was.
void TakeOverText(KeySnapshot& kept, std::string_view valueName, std::string_view text);
void TakeOverNumber(KeySnapshot& kept, std::string_view valueName, std::uint32_t number);

// Reads the values and the whole subtree of the open key `key` into `snapshot` (its name is
// left as it is). Names and data of any length are read whole. Subkeys are opened with
// KEY_READ. An entry that cannot be read is passed over and the reading goes on, so the
// snapshot holds everything readable; the result is 0 or the first error met.
LONG ReadKeySnapshot(HKEY key, KeySnapshot* snapshot);

// ReadKeySnapshot for a large tree: where the store serves threads (registry/side_by_side.h),
// the subtrees are read side by side, in about half the time. The snapshot is the same; the
// result is 0 or one of the errors met.
LONG ReadKeySnapshotSideBySide(HKEY key, KeySnapshot* snapshot);

// The name of the subkey at `index` of `key`, however long it is (a buffer too small is
// replaced by a bigger one). The enumeration's result code.
LONG ReadSubkeyName(HKEY key, DWORD index, std::string* name);

// The names of all subkeys of `key`, each whole, in enumeration order. All names are read before
// any subkey is looked at, so a caller walking them never interleaves enumeration and reads. An
// entry that cannot be read is passed over and the enumeration goes on; `firstError`, when given,
// receives the first such entry's result code (0 when there was none).
std::vector<std::string> ReadSubkeyNames(HKEY key, LONG* firstError = nullptr);

// The value at `index` of `key` with its name and data whole, however long they are. The
// enumeration's result code.
LONG ReadValue(HKEY key, DWORD index, RegValue* value);

// Reads only the values of the open key `key` into `snapshot` (its subkeys are left as they
// are); same rules as ReadKeySnapshot.
LONG ReadKeyValues(HKEY key, KeySnapshot* snapshot);

// Reads only the subkeys of the open key `key`, each with its whole subtree, into `snapshot`
// (its values are left as they are); same rules as ReadKeySnapshot.
LONG ReadKeySubkeys(HKEY key, KeySnapshot* snapshot);

// ReadSubkeyNames with the names read into a buffer of `bufferSize` bytes only: a name that
// does not fit is passed over, never cut, and so is an entry that cannot be read.
std::vector<std::string> ReadSubkeyNamesThatFit(HKEY key, DWORD bufferSize);

// Sets the value `name` of the open key `key` to exactly `type` and `data` (RegSetValueExA).
// The system counts a terminating zero into string data that lacks one when the byte after the
// data in the caller's memory happens to be zero; this hands it a copy with a non-zero byte
// after the data, so raw bytes kept from a load are written back unchanged.
LONG SetRawValue(HKEY key, const std::string& name, DWORD type, const std::vector<uint8_t>& data);

// Creates `path` under `parent` (RegCreateKeyExA, read and write access, missing parents
// created; the empty path writes into `parent` itself), sets every value of `snapshot` there
// with its type and bytes (SetRawValue), and writes each subkey the same way under its own
// name. The snapshot's own name is not used. Existing values of the same name are replaced;
// nothing is deleted. Goes on after a failure; returns 0 or the first error met.
LONG WriteKeySnapshot(HKEY parent, const std::string& path, const KeySnapshot& snapshot);

// Deletes the open key `key` itself with everything below it (DeleteKeyTree with the empty
// name). A delete that fails part way has already removed some keys; those are written back
// from a copy taken first, so a failed delete leaves the key as it was. Returns the delete's
// result code.
LONG DeleteKeyTreeOrRestore(HKEY key);
// The same for the key `path` under `root`, opened for it; 0 when there is no such key.
LONG DeleteKeyTreeOrRestore(HKEY root, const std::string& path);

// Areas just read whole (keys under HKEY_LOCAL_MACHINE, each with everything in it), such as
// a journal reads before a save: until this process changes the registry otherwise,
// DeleteKeyTreeOrRestore of a key in them takes its copy from here instead of reading the key
// again. Its own deletes keep them current; any other change makes them stale, and then they are
// not used. A new call replaces the areas known before.
struct KnownArea {
    std::string path;
    KeySnapshot contents;
};
void KnowAreas(std::vector<KnownArea> areas);
void ForgetAreas();

// Makes the key `path` under `root` hold exactly `wanted`: its values in that order with their
// types and bytes, its subkeys with everything in them, each name in wanted's capitals (the key
// itself keeps its own); an empty `wanted` deletes the key, unless `whenEmpty` keeps it (as a
// save that always makes the key, if with nothing in it). The outcome is that of
// DeleteKeyTreeOrRestore and then WriteKeySnapshot, but only what differs is changed: a save
// that changes one entry of thousands makes a few calls. What is stored is taken from the
// known areas when they are current (see KnowAreas), else read first; an entry another program
// made since is left alone. Values keep their places up to the first one that differs in name;
// from there on the stored ones are deleted and the wanted ones set, in order. The subkeys that
// go are deleted before anything is written: a refused delete puts back what the deletes removed
// and changes nothing. Returns 0 or the first error met (nothing is changed when the stored key
// cannot be read whole or a delete is refused).
//
// `order` Free is for keys whose values are read by name only, where their order means nothing:
// each value is then compared by name, one stored as wanted stays where it is, and only the
// others are deleted or set (a registry that enumerates values in name order, as Wine's does,
// would otherwise have every such key set again at every save). The known copy then holds
// wanted's order, which the store may not.
enum class WhenEmpty { Delete, Keep };
enum class ValueOrder { AsWanted, Free };
LONG ReplaceKeyTree(HKEY root, const std::string& path, const KeySnapshot& wanted,
                    WhenEmpty whenEmpty = WhenEmpty::Delete,
                    ValueOrder order = ValueOrder::AsWanted);
// The same for the key `path` below the open key `parent`, which is `parentPath` below
// HKEY_LOCAL_MACHINE (opened with KEY_READ | KEY_WRITE): many keys of one parent replaced with
// one open of it. Under Wine a path opened from the root in the program's registry view costs
// several times one opened from its parent.
LONG ReplaceKeyTreeBelow(HKEY parent, std::string_view parentPath, const std::string& path,
                         const KeySnapshot& wanted, WhenEmpty whenEmpty = WhenEmpty::Delete,
                         ValueOrder order = ValueOrder::AsWanted);

// Building the `wanted` of ReplaceKeyTree the way a save writes: values set and subkeys made
// in the save's order with push_back, then Settle makes of them what the registry would: of
// entries with the same name in other capitals, the first one's place and name stay, with the
// last value's type and bytes and all the subkeys' contents merged in the same way.
void Settle(KeySnapshot& key);
// The key `path` below `parent` as RegCreateKeyExA makes it: a key per part of the path, pushed
// back (Settle merges it with one of the same name); the empty path is `parent` itself. The
// reference is good until another key is added to the same parent.
KeySnapshot& AddKeyPath(KeySnapshot& parent, std::string_view path);
// The REG_SZ `text` (with its terminating zero) / the REG_DWORD `number`, as RegistryKey's
// SetString and SetNumber set them (a text ends at its first zero).
RegValue TextValue(std::string name, std::string_view text);
RegValue NumberValue(std::string name, std::uint32_t number);

// WriteKeySnapshot with the values of `snapshot` only (an area's own values kept from its load,
// written back after its keys); writes and creates nothing when it holds no values.
LONG WriteKeyValues(HKEY parent, const std::string& path, const KeySnapshot& snapshot);

}  // namespace registry
