#pragma once
// Where the non-Windows build keeps its registry file and how it is prepared on first start.

#include <QString>

namespace app {

// $XDG_DATA_HOME/vlxconfigurator/registry.reg, or ~/.local/share/vlxconfigurator/registry.reg when
// XDG_DATA_HOME is unset or not absolute.
QString DefaultRegistryPath();
// The same path as the help text shows it ("$XDG_DATA_HOME/..." spelled out).
QString DefaultRegistryPathHint();

// Makes sure `path` exists: when it does not, creates its folder and writes the bundled sample
// configuration `samplePath` (a file or a resource path) there. An existing file is never
// touched. Returns an empty string on success, otherwise a message naming the file and the
// reason.
QString EnsureRegistryFile(const QString& path, const QString& samplePath);

// The sample configuration embedded in the program.
inline constexpr char kBundledSample[] = ":/sample/controller.reg";

}  // namespace app
