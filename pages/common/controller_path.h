#pragma once
// Paths below the controller's installation directory are stored in a short form: the
// installation directory followed by "\roboter\vlx" becomes "vlx:". The pages apply the rule to
// paths the user picks or types; it is one-way, nothing is ever expanded back.

#include <string>
#include <string_view>

namespace common {

// Under HKEY_LOCAL_MACHINE; spelled as the installer writes it (keys match without regard to
// case, so this is the same key the Upgrade Manager page opens as "VORNA").
inline constexpr const char* kInstallationDirKeyPath = "Software\\Vorna Roboter GmbH\\Version";
inline constexpr const char* kInstallationDirValue = "InstallationDir";

// Reads the value "InstallationDir" lower-cased into `installationDir`. When the key cannot be
// opened, `installationDir` keeps what it held; when the value is missing or no string, it
// becomes empty. A long value is read whole.
void ReadInstallationDir(std::string& installationDir);

// Replaces, left to right and without overlapping, every occurrence of `from` in `text` that
// ends the text or is followed by a backslash, so a longer folder name that merely begins with
// the same letters is left alone. Nothing is replaced when `from` is empty.
std::string ReplaceAtPathBoundary(std::string_view text, std::string_view from,
                                  std::string_view to);

// The stored form of a picked or typed path: lower-cased, with `installationDir` (already
// lower-cased) followed by "\roboter\vlx" replaced by "vlx:". An empty `installationDir`
// replaces nothing, since "\roboter\vlx" alone would turn c:\roboter\vlx\r1 into c:vlx:\r1.
std::string ControllerPath(std::string_view path, std::string_view installationDir);

}  // namespace common
