#pragma once
// Moves the history settings between the values of the registry's Archive key and memory. The
// key's subkeys belong to the archive configurations and are never touched; nothing is ever
// deleted. No user interface: the page decides what to say.

#include <array>
#include <string_view>

#include "pages/archive/archive_registry.h"
#include "pages/common/area_contract.h"
#include "pages/history/history_settings.h"

namespace history {

// The archive manager's key; its values are this page's, its subkeys the Archive Manager page's.
inline constexpr const char* kArchiveKeyPath = archive::kArchiveKeyPath;

inline constexpr std::array<std::string_view, 1> kHistoryKeys{kArchiveKeyPath};
inline constexpr common::AreaDescriptor kHistoryArea{"History Info", kHistoryKeys, kHistoryKeys,
                                                     true};

// The value names, in the order a save writes them after the criteria.
inline constexpr const char* kEnableFeedbackValue = "CheckBack";
inline constexpr const char* kDeleteRobotDirectoryValue = "DeleteR1";
inline constexpr const char* kEnableDiskCountingValue = "EnableDiskCounting";
inline constexpr const char* kHistoryValue = "History";
inline constexpr const char* kSaveHistoryBeforeRestoreValue = "HistoryWhenRestore";
inline constexpr const char* kGenerateInfoFileValue = "IniOnOffSwitch";
inline constexpr const char* kMaxHistoryCountValue = "MaxHistoryCount";
inline constexpr const char* kHistoryPathValue = "HistoryPath";

class HistoryRegistry {
  public:
    // Empties the criteria, then reads every value of the Archive key in enumeration order
    // (names and texts of any length whole): each value named "Compare..." becomes a criterion,
    // checked unless its number is 0; the switches, the count and the path take their values.
    // A switch, count or criterion that is no REG_DWORD of 4 bytes counts as 0. A setting whose
    // value is absent keeps what it held. Fails when the Archive key cannot be opened; then
    // nothing but the criteria changes.
    static common::AreaResult Load(HistorySettings& settings);

    // Writes each criterion (1 when checked and feedback is on, else 0), the six switches and
    // the count as REG_DWORD, then the history path as REG_SZ, into the existing Archive key;
    // the settings are written as they are (dependencies and the path rule are the caller's).
    // Other values and every subkey stay as they are. Fails, with nothing written, when the key
    // cannot be opened for writing.
    static common::AreaResult Save(const HistorySettings& settings);
};

}  // namespace history
