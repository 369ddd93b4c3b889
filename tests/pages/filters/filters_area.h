#pragma once
// .reg text of the Filter and FilterList areas for the filter tests (standard library only).

#include <string>

#include "pages/filters/filter_registry.h"

namespace filterstest {

inline const std::string kFilter = filters::kFilterKeyPath;
inline const std::string kFilterList = filters::kFilterListKeyPath;
inline const std::string kFilterHeader = "[HKEY_LOCAL_MACHINE\\" + kFilter;
inline const std::string kFilterListHeader = "[HKEY_LOCAL_MACHINE\\" + kFilterList;

// `body` with "[F" standing for the Filter key and "[L" for the FilterList key.
inline std::string Area(std::string body) {
    const auto replace = [&body](const std::string& marker, const std::string& header) {
        for (std::string::size_type pos = 0; (pos = body.find(marker, pos)) != std::string::npos;
             pos += header.size()) {
            body.replace(pos, marker.size(), header);
        }
    };
    replace("[L", kFilterListHeader);
    replace("[F", kFilterHeader);
    return body;
}

// A filter key as the layout writes it, values in the export's order.
inline std::string FilterKey(const std::string& name, const std::string& mask,
                             const std::string& comment, const char* attrib, const char* explode,
                             const char* type) {
    return "[F\\" + name + "]\n\"Comment\"=\"" + comment + "\"\n\"Mask\"=\"" + mask +
           "\"\n\"ShowAttrib\"=dword:" + attrib + "\n\"ShowModuleExplod\"=dword:" + explode +
           "\n\"Type\"=dword:" + type + "\n";
}

// Four filters and three level lists the way a controller keeps them, in the export's order.
inline const std::string kSeed = Area(
    "[F]\n" + FilterKey("All", "*.*", "Every file and folder", "00000000", "00000000", "000000ff") +
    FilterKey("Modules", "*.*", "Programs shown as modules", "00000000", "00000000", "000000a3") +
    FilterKey("Programs", "*.src", "Program sources only", "00000000", "00000001", "00000021") +
    FilterKey("Service", "*.*", "Hidden and system files too", "00000003", "00000001", "000001ff") +
    "[L]\n"
    "[L\\Admin]\n@=\"Programs\"\n\"All\"=dword:00000001\n\"Modules\"=dword:00000001\n"
    "\"Programs\"=dword:00000001\n\"Service\"=dword:00000001\n"
    "[L\\DEFAULT]\n@=\"Modules\"\n\"Modules\"=dword:00000001\n\"Programs\"=dword:00000001\n"
    "[L\\Expert]\n@=\"Programs\"\n\"Modules\"=dword:00000001\n\"Programs\"=dword:00000001\n");

}  // namespace filterstest
