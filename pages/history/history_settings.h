#pragma once
// The archive manager's settings for comparing, archiving and restoring: the comparison
// criteria the configuration defines, where history traces go, how many are kept, and six
// switches, with the rules by which the switches depend on each other.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/reg_text.h"

namespace history {

// One comparison criterion: a value of the Archive key whose name begins with "Compare".
struct CriterionDefinition {
    std::string name;  // the value's full name, also the name it is written back under
    bool checked = false;
};

using CriterionList = std::vector<CriterionDefinition>;

inline constexpr std::string_view kCriterionPrefix = "Compare";

// Whether a value of the Archive key is a comparison criterion (its name begins with
// "Compare", letter case ignored).
bool IsCriterionName(std::string_view valueName);

// A history path value kept as stored, with the text the page showed for it.
struct KeptPath {
    registry::RegValue stored;
    std::string shownText;
};

struct HistorySettings {
    CriterionList criteria;                 // in enumeration order
    std::string historyPath;                // "HistoryPath"
    std::string maxHistoryCount;            // "MaxHistoryCount" as the page shows it (decimal text)
    bool enableFeedback = false;            // "CheckBack"
    bool saveHistoryBeforeRestore = false;  // "HistoryWhenRestore"
    bool history = false;                   // "History"
    bool deleteRobotDirectory = false;      // "DeleteR1"
    bool generateInfoFile = false;          // "IniOnOffSwitch"
    bool enableDiskCounting = false;        // "EnableDiskCounting"

    // "HistoryPath" as loaded when writing the shown text back would not give the same value
    // (no string, no terminating zero, another string type, text after a zero): a save whose
    // path is still the one shown leaves the stored value as it is.
    std::optional<KeptPath> keptPath;
};

// Which switches the user may change after ApplyDependencies; a switch that is not available is
// shown disabled.
struct SwitchAvailability {
    bool saveHistoryBeforeRestore = true;
    bool history = true;
    // "Enable disk counting when archiving" and the criteria list.
    bool diskCountingAndCriteria = true;
};

// "Delete robot directory before restoring" forces "Save history before restoring", which
// forces "History"; a forced switch stays on when what forced it goes off, and only becomes
// available again. Disk counting and the criteria are available only while both "Enable
// feedback" and "Generate info file when archiving" are on; otherwise disk counting and every
// criterion are cleared.
SwitchAvailability ApplyDependencies(HistorySettings& settings);

// The history path the save writes: `historyPath` without leading and trailing blanks.
std::string TrimmedHistoryPath(const HistorySettings& settings);

// True when a save must be refused: "History" or "Save history before restoring" is on and the
// trimmed history path is empty.
bool HistoryPathMissing(const HistorySettings& settings);

}  // namespace history
