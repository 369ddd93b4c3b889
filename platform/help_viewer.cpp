#include "platform/help_viewer.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

bool OpenHelpContents(std::uintptr_t ownerWindow) {
#ifdef _WIN32
    return WinHelpA(reinterpret_cast<HWND>(ownerWindow), kHelpFileName, HELP_CONTENTS, 0) != FALSE;
#else
    (void)ownerWindow;
    return false;
#endif
}

}  // namespace platform
