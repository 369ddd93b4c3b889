#pragma once
// The file manager's commands ("module procedures") as methods: the conditions under which each
// applies and, per user level, whether it is enabled and whether the operator is asked first.
// Numbers 1 to 89 are the built-in methods, 90 to 99 the ten user methods.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace methods {

inline constexpr std::int32_t kFirstBuiltInMethod = 1;
inline constexpr std::int32_t kLastBuiltInMethod = 89;
inline constexpr std::int32_t kFirstUserMethod = 90;
inline constexpr std::int32_t kLastUserMethod = 99;

// Every user level: the level masks of a user method whose key does not exist yet.
inline constexpr std::uint32_t kAllLevels = 31;

// One row of a condition table. Each row stands for exactly one bit, and the bits are not in
// row order: some bits belong to no row at all.
struct ConditionRow {
    std::string_view listText;
    std::string_view description;  // shown in the status line
    int bit;

    constexpr std::uint32_t Mask() const { return 1u << bit; }
};

inline constexpr std::array<ConditionRow, 19> kSystemConditions = {{
    {"ProState0Sel", "Submit program state SELECTED for system", 0},
    {"ProState0Act", "Submit program state ACTIVE for system", 1},
    {"ProState0Free", "Submit program state FREE for system", 2},
    {"ProState1Sel", "Roboter program state SELECTED for system", 4},
    {"ProState1Act", "Roboter program state ACTIVE for system", 5},
    {"ProState1Free", "Roboter program state FREE for system", 6},
    {"DriveVLX", "Current drive of type VLX", 8},
    {"DriveArch", "Current drive of type Archiv", 9},
    {"DriveCD", "Current drive of type CD", 10},
    {"DriveOther", "Current drive of type HDD", 11},
    {"ModeOpEXT", "Operation mode AUTOMATIC EXTERN", 12},
    {"ModeOpAUT", "Operation mode AUTOMATIC", 13},
    {"ModeOpT1", "Operation mode T1", 14},
    {"ModeOpT2", "Operation mode T2", 15},
    {"ModeOpUNK", "Operation mode UNKNOWN", 16},
    {"Invisible", "Kestrin is not visible", 20},
    {"Disable", "Kestrin is disabled", 21},
    {"SelTreeWindow", "Focus in Directories Tree", 24},
    {"SelListWindow", "Focus in Items List", 25},
}};

inline constexpr std::array<ConditionRow, 30> kItemConditions = {{
    {"ItemState0Sel", "Submit program state SELECTED for item in the ITEM LIST", 0},
    {"ItemState0Act", "Submit program state ACTIVE for item in the ITEM LIST", 1},
    {"ItemState0Free", "Submit program state FREE for item in the ITEM LIST", 2},
    {"ItemState1Sel", "Roboter program state SELECTED for item in the ITEM LIST", 3},
    {"ItemState1Act", "Roboter program state ACTIVE for item in the ITEM LIST", 4},
    {"ItemState1Free", "Roboter program state FREE for item in the ITEM LIST", 5},
    {"SelSingle", "Exactly one item selected", 8},
    {"SelMulti", "Several items selected", 9},
    {"SelNone", "No items selected", 10},
    {"EditModeFull", "Item is opened in FULL EDIT mode", 12},
    {"EditModeProKor", "Item is opened in PROKOR mode", 13},
    {"EditModeRO", "Item is opened in READONLY mode", 14},
    {"EditModeUnk", "Item is opened in a UNKNOWN mode", 15},
    {"DAT/SRC", "Item is a DAT/SRC file ", 16},
    {"DAT/SRC/ERR", "Item is a DAT/SRC file, containing errors", 17},
    {"SRC", "Item is a SRC file", 18},
    {"SRC/ERR", "Item is a SRC file, containing errors", 19},
    {"DAT/SUB", "Item is a DAT/SUB file", 20},
    {"DAT/SUB/ERR", "Item is a DAT/SUB file, containing errors", 21},
    {"SUB", "Item is a SUB file", 22},
    {"SUB/ERR", "Item is a SUB file, containing errors", 23},
    {"DAT/ERR", "Item is a DAT file, containing errors", 24},
    {"DAT", "Item is a DAT file", 25},
    {"TXT", "Item is a TXT file", 26},
    {"BIN", "Item is a BIN file", 27},
    {"Arch", "Item is an ARCHIVE", 28},
    {"Virt", "Item is a VIRTUAL DIRECTORY", 29},
    {"Folder", "Item is a DIRECTORY", 30},
    {"IBGN File", "Item is a MOTION file", 31},
    {"Protected File", "Item is a protected file", 11},
}};

// The four bit sets of a method that the pages edit.
enum class MethodMask { SystemConditions, ItemConditions, AskBefore, Active };

struct MethodDefinition {
    std::string name;  // the default value of the method's key
    std::uint32_t systemConditions = 0;
    std::uint32_t itemConditions = 0;
    std::uint32_t askBefore = 0;  // bit i: user level i is asked before the method runs
    std::uint32_t active = 0;     // bit i: the method is enabled for user level i
    std::int32_t number = 0;      // the key number under "ModulProc"

    // A name value that could not be read as text (another type, no terminating zero, or no
    // value at all) is shown as an empty name; until the user names the method, a save leaves
    // the stored value as it is rather than replacing it with that empty name.
    bool keepStoredName = false;

    std::uint32_t& Mask(MethodMask which);
    std::uint32_t Mask(MethodMask which) const;

    // The user's new name; from now on a save writes it.
    void Rename(std::string newName);
};

using MethodList = std::vector<std::unique_ptr<MethodDefinition>>;

// A table row (or level) with mask `rowMask` is checked when all of its bits are set.
inline bool IsRowChecked(std::uint32_t mask, std::uint32_t rowMask) {
    return (mask & rowMask) == rowMask;
}

// `mask` with `bits` set or cleared; every other bit stays as it is.
inline std::uint32_t WithBits(std::uint32_t mask, std::uint32_t bits, bool set) {
    return set ? (mask | bits) : (mask & ~bits);
}

// "ModulProc90" and so on: the name of a user method whose key does not exist yet.
std::string DefaultUserMethodName(std::int32_t number);

// A user method whose key does not exist: its default name, no conditions, every level asked
// and enabled.
std::unique_ptr<MethodDefinition> MakeDefaultUserMethod(std::int32_t number);

}  // namespace methods
