#pragma once
// Registry store errors (file unreadable or malformed, a write that failed) reach the user in an
// error message box after the command that met them.

namespace app {

// Shows the store's last error, if any, in an error message box; true when one was shown.
bool ReportStoreError();

// Makes every user command one registry batch (one read of the file, at most one write) and
// reports store errors after it. Installed by the program and by the page test kit.
void InstallRegistryCommandScope();
void RemoveRegistryCommandScope();

}  // namespace app
