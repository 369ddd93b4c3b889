#pragma once
// Moves the General page's settings between the registry and memory: the predefined tree
// (PreDefinedTree, one key per node with its "ChangeAllowed"), the archive path and default
// backup parameters (BackUp) and the manager's mirror path (Manager\File). No user interface:
// the page decides what to show for a failed delete.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "pages/common/area_contract.h"
#include "pages/general/predefined_tree.h"
#include "registry/key_snapshot.h"

namespace general {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kPreDefinedTreeKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\PreDefinedTree";
inline constexpr const char* kBackUpKeyPath =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\BackUp";
inline constexpr const char* kManagerFileKeyPath =
    "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\File";
// The start-up message names the tree only: the other two keys are optional.
inline constexpr std::array<std::string_view, 3> kGeneralKeys{kPreDefinedTreeKeyPath,
                                                              kBackUpKeyPath, kManagerFileKeyPath};
inline constexpr std::array<std::string_view, 1> kGeneralMessageKeys{kPreDefinedTreeKeyPath};
inline constexpr common::AreaDescriptor kGeneralArea{"General/Folder Layout", kGeneralKeys,
                                                     kGeneralMessageKeys};

inline constexpr const char* kConfigValue = "Config";
inline constexpr const char* kArchiveValue = "Archive";
inline constexpr const char* kMirrorPathValue = "MirrorPath";

// The texts of the BackUp and Manager\File keys.
struct GeneralValues {
    std::string mirrorPath;     // "MirrorPath" of Manager\File
    std::string archivePath;    // unnamed value of BackUp
    std::string backupConfig;   // "Config" of BackUp
    std::string backupArchive;  // "Archive" of BackUp
    // The value exists but is no text the page can show (another type, no terminating zero):
    // while its field stays empty, the save leaves the stored value as it is.
    bool mirrorPathUnreadable = false;
    bool archivePathUnreadable = false;
};

// What the page loads.
struct GeneralArea {
    PredefinedTree tree;
    GeneralValues values;
};

class GeneralRegistry {
  public:
    // Replaces the tree with the nodes stored under PreDefinedTree (see ReadTreeKey) and what
    // their keys hold beyond the layout. The BackUp texts are replaced only when the BackUp key
    // opens, the mirror path only when Manager\File opens; a missing or unreadable value reads
    // as the empty text. Fails only when PreDefinedTree cannot be opened.
    static common::AreaResult Load(GeneralArea& area);

    // Reads a key below PreDefinedTree, `components` being its path from there: its subkeys
    // first, in enumeration order, then the key itself, which becomes a node (flag: the value)
    // only when it holds a REG_DWORD "ChangeAllowed" of 4 bytes. So a key without one appears
    // only as the intermediate node (flag 0) of a descendant that has one.
    static void ReadTreeKey(const registry::KeySnapshot& key, std::vector<std::string>& components,
                            PredefinedTree& tree);

    // Deletes PreDefinedTree and writes every node anew (its check box as "ChangeAllowed", then
    // its children, then what its key kept), then the BackUp values (unnamed value always,
    // "Config" and "Archive" only when not empty) and "MirrorPath", into keys that exist only.
    // When the delete fails, what it removed is put back, nothing is written and the failure is
    // reported.
    static common::AreaResult Save(const GeneralArea& area);
};

}  // namespace general
