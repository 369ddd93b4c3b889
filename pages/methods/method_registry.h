#pragma once
// Moves methods between the registry's "ModulProc" key and memory. Both method pages read and
// write a method key the same way; they differ in which numbers they own and in whether the
// name is written. Saves only set values: nothing under "ModulProc" is ever deleted, so values
// and keys the layout does not name stay as they are.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "pages/common/area_contract.h"
#include "pages/methods/method_definition.h"
#include "registry/registry_key.h"
#include "registry/win_registry.h"

namespace methods {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kModulProcKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\ModulProc";

// The two pages share the key and own different method numbers in it.
inline constexpr std::array<std::string_view, 1> kModulProcKeys{kModulProcKeyPath};
inline constexpr common::AreaDescriptor kMethodsArea{"Methods", kModulProcKeys, kModulProcKeys};
inline constexpr common::AreaDescriptor kUserMethodsArea{"User Methods", kModulProcKeys,
                                                         kModulProcKeys};

// The key of method `number`, in plain decimal ("...\\ModulProc\\7").
std::string MethodKeyPath(std::int32_t number);

// Fills `method` from the open key of method `number`: the name, "ItemConditions" and
// "SystemConditions" (0 unless a 4-byte REG_DWORD), and per user level its subkey's
// "AskBefore" (set when 4 bytes and nonzero) and "Active" (set when nonzero, and when missing).
// A level without a subkey has both bits clear.
void ReadMethodKey(HKEY key, std::int32_t number, MethodDefinition& method);

// Writes "ItemConditions" and "SystemConditions" into the open key of `method`, then creates
// each level subkey as needed and writes its "AskBefore" and "Active" as 1 or 0. A level subkey
// that cannot be created is skipped.
void WriteMethodConditions(RegistryKey& key, const MethodDefinition& method);

class MethodRegistry {
  public:
    // The Methods page's area. Replaces `methods` with the built-in methods 1 to 89 whose keys
    // exist, in ascending number. A missing or unreadable area gives an empty list; it never
    // fails.
    static common::AreaResult LoadBuiltIn(MethodList& methods);
    // Writes the conditions and levels of each method into its existing key; a method whose key
    // is gone is skipped (never created) and the name is never written. Never fails.
    static common::AreaResult SaveBuiltIn(const MethodList& methods);

    // The User Methods page's area. Replaces `methods` with the ten user methods 90 to 99 in
    // slot order; a slot whose key does not exist gets the defaults (MakeDefaultUserMethod).
    // Never fails.
    static common::AreaResult LoadUserMethods(MethodList& methods);
    // Creates the key of each user method as needed and writes its name, conditions and levels.
    // Never fails.
    static common::AreaResult SaveUserMethods(const MethodList& methods);
};

}  // namespace methods
