#pragma once
// The file manager's named filters (mask, comment, attribute and type selections) and, per user
// level, the filters that level may use with one of them as its default.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/key_snapshot.h"

namespace filters {

// File types a filter selects; row i of the page's type list is bit i of FilterDefinition::type.
inline constexpr std::array<std::string_view, 9> kTypeTable = {
    "Dir", "Virtual", "Archiv", "Bin", "Text", "Modul", "Raw", "Ibgn file", "Protected files"};

// Bits of FilterDefinition::showAttrib.
inline constexpr std::uint32_t kShowSystem = 1;
inline constexpr std::uint32_t kShowHidden = 2;

inline constexpr std::string_view kDefaultMask = "*";

// Value names of a filter key. The stored name of the explode flag lacks its last letter.
inline constexpr const char* kMaskValue = "Mask";
inline constexpr const char* kCommentValue = "Comment";
inline constexpr const char* kTypeValue = "Type";
inline constexpr const char* kShowAttribValue = "ShowAttrib";
inline constexpr const char* kShowModuleExplodeValue = "ShowModuleExplod";

// Level keys keep filter names as value names, which other components read into 50 bytes: a
// new name holds at most 49 characters. Typed masks and comments are read back into 100 bytes.
inline constexpr std::size_t kMaxFilterNameLength = 49;
inline constexpr std::size_t kMaxTextLength = 99;

struct FilterDefinition {
    std::string name;  // also the registry subkey name
    std::string mask = std::string(kDefaultMask);
    std::string comment;
    std::uint32_t showAttrib = 0;  // kShowSystem | kShowHidden
    std::uint32_t showModuleExplode = 0;
    std::uint32_t type = 0;  // bit i = row i of kTypeTable

    // What the filter's key held beyond the layout (other values, subkeys), and the stored form
    // of each layout value the save would not write back byte for byte (a text that is no
    // terminated string or not plain REG_SZ, a number that is no 4-byte DWORD). The save writes
    // it after the layout's values, so such a value goes back as it was until the page sets
    // that field (the setters drop it).
    registry::KeySnapshot kept;

    void SetMask(std::string text);
    void SetComment(std::string text);
    void SetShowAttrib(std::uint32_t bits);
    void SetShowModuleExplode(std::uint32_t on);
    void SetType(std::uint32_t bits);
};

struct FilterListDefinition {
    std::string defaultFilter;         // name of the level's default filter; empty when none
    std::string level;                 // the level name; also the registry subkey name
    std::vector<std::string> filters;  // names of the filters available at the level

    // What the level key held beyond the layout: its subkeys, and the stored form of an entry
    // whose data is not the DWORD 1 the save writes. Such an entry goes back as it was while
    // the level offers it; AddFilter and RemoveFilterAt drop it.
    registry::KeySnapshot kept;
    // The stored default value when the save would not write it back as it was (no readable
    // text, or not plain REG_SZ): written back while the page has not set the default.
    std::optional<registry::RegValue> storedDefault;

    // Index in `filters` of the first entry of that name, or -1.
    int IndexOf(std::string_view filterName) const;
    void AddFilter(std::string filterName);
    void RemoveFilterAt(std::size_t index);
    // Makes `filterName` the default (an empty name means none).
    void SetDefault(std::string filterName);
};

using FilterRecords = std::vector<std::unique_ptr<FilterDefinition>>;
using FilterListRecords = std::vector<std::unique_ptr<FilterListDefinition>>;

// Filter and level names compare as the registry compares key and value names (without regard
// to case), so two records never stand for one key.
bool NamesMatch(std::string_view a, std::string_view b);

// A filter as the page creates it: mask "*", no comment, all numbers 0.
std::unique_ptr<FilterDefinition> MakeNewFilter(std::string name);
// A level list as the page creates it: no filters, no default.
std::unique_ptr<FilterListDefinition> MakeNewFilterList(std::string level);

// The first record of that name, or null; IndexOfFilter gives its index or -1.
FilterDefinition* FindFilter(const FilterRecords& records, std::string_view name);
int IndexOfFilter(const FilterRecords& records, std::string_view name);
FilterListDefinition* FindFilterList(const FilterListRecords& records, std::string_view level);

// Removes and destroys the first level list of that level; false when there was none.
bool RemoveFilterList(FilterListRecords& records, std::string_view level);

// Space characters (only those) removed at both ends.
std::string TrimSpaces(std::string_view text);

// True when `name` may name a new filter: not blanks only, and no record carries it, typed or
// trimmed.
bool IsNewFilterName(const FilterRecords& records, std::string_view name);

// The first level list that offers the filter, or null.
const FilterListDefinition* FirstListOffering(const FilterListRecords& records,
                                              std::string_view filterName);

// Takes the filter out of every level list that offers it. A level whose default it was and
// that keeps filters gets its first remaining filter as default; one left empty keeps the name.
void WithdrawFromLevels(FilterListRecords& records, std::string_view filterName);

// True for the names of the five values the layout gives a filter key.
bool IsLayoutValue(std::string_view valueName);

}  // namespace filters
