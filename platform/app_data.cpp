#include "platform/app_data.h"

#include <cstdlib>
#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#endif

namespace platform {

std::string ProgramDataFolder() {
#ifdef _WIN32
    char folder[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) ==
            S_OK &&
        folder[0] != '\0')
        return std::string(folder) + "\\VlxConfigurator";
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local)
        return std::string(local) + "\\VlxConfigurator";
    return {};
#else
    return {};
#endif
}

}  // namespace platform
