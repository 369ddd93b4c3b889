#pragma once
// Applies a .reg file to the registry through the Reg*A entry points, as the system registry
// editor imports one: "[-key]" deletes the key with everything below it, "[key]" creates it with
// its parents, each value line sets the value to exactly its type and bytes, "name"=- deletes
// the value. Used to put an area back from a file the program wrote itself.

#include <string>
#include <string_view>

#include "registry/reg_text.h"
#include "registry/win_registry.h"

namespace registry {

// Imports the file's bytes ("REGEDIT4" or version 5.00, 8-bit or UTF-16). A file that does not
// parse changes nothing (it is parsed whole before the first change). Returns "" when every
// line was applied, otherwise what failed: the parser's message, or "<fileName>, line <n>:
// error <code>" for the first line the registry refused (the lines after it are still applied,
// so as much as can be is put back). A key to delete that does not exist is no failure.
std::string ImportRegText(std::string_view bytes, const std::string& fileName);

// The predefined key a file's root names.
HKEY RootKey(RegRoot root);

}  // namespace registry
