#pragma once
// A .reg file that makes another registry's areas what they are here. The system's registry
// editor only adds and overwrites when it imports a file, so a file that merely lists the areas
// would bring back whatever was removed here; this one deletes each area first:
//
//   [-HKEY_LOCAL_MACHINE\Software\...\Filter]
//   [HKEY_LOCAL_MACHINE\Software\...\Filter]
//   ...every key and value of the area as stored...
//
// Imported into a registry that held what this one held when it was exported, it leaves the
// areas exactly as they are here and touches nothing outside them. Read through the Reg*A entry
// points only, so it works on any store.

#include <string>
#include <string_view>
#include <vector>

#include "registry/area_copy.h"
#include "registry/key_snapshot.h"
#include "registry/reg_text.h"
#include "registry/win_registry.h"

namespace registry {

// The file's bytes in `format` for the areas `areaPaths` under HKEY_LOCAL_MACHINE. An area
// whose parent key is missing is left out (there is nothing to delete or write); one whose
// parent exists but which itself is missing gets only its deletion line. An area inside another
// one of the list (or the same key in other capitals) is covered by the outer one. Key names
// are written as stored, subkeys in enumeration order, values with their exact type and bytes.
//
// Returns 0, or the result code of the first entry that could not be read: a file that left out
// an unreadable entry would delete it on import, so the caller must not use `bytes` then.
// What becomes of an area whose parent key is missing.
enum class AreaExportMissing {
    Leave,   // left out: an import into the registry the file was made from has nothing to do
    Delete,  // its deletion line all the same, so an import over a registry in which the area
             // has since been made takes it away again
};

// `read`, when given, receives each area written with everything in it, as read for the file.
// `asRead`, when given, is a copy of areas that the caller knows to be current (see
// AreaCopy::Current): an area it holds is written from it instead of being read.
LONG ExportAreasForImport(const std::vector<std::string_view>& areaPaths,
                          const RegFileFormat& format, std::string* bytes,
                          AreaExportMissing missing = AreaExportMissing::Leave,
                          std::vector<KnownArea>* read = nullptr, const AreaCopy* asRead = nullptr);

// For an area that is only the values of its keys (the page writes values there and never
// touches a subkey): each key of `keyPaths` that exists, as "[key]" and its values, with no
// deletion line, so an import leaves the key's subkeys as they are. Returns 0 or the result code
// of the first entry that could not be read. To give the values back exactly, the file needs
// CompleteValueBlocks before it is imported.
LONG ExportKeyValuesForImport(const std::vector<std::string_view>& keyPaths,
                              const RegFileFormat& format, std::string* bytes);

// Makes the import of the .reg text `bytes` (named `fileName` in messages) leave exactly its
// values in every key it writes without first deleting it (no "[-key]" line above it for the key
// or a parent): "name"=- lines are added for the values such a key holds now and the text does
// not name. Nothing changes in a text without such keys, or when there is nothing to delete.
// Returns 0, or the result code of a key whose values could not be read (`bytes` stays as it
// was: the import would leave that key's extra values).
LONG CompleteValueBlocks(std::string* bytes, const std::string& fileName);

}  // namespace registry
