#pragma once
// Store-level control that both platforms share. On Windows the system registry needs none of
// it: there is no file to open, and batches and store errors are no-ops.

#include <optional>
#include <string>

#include "registry/reg_text.h"

namespace registry {

// Whether the registry is our .reg file store (everywhere but Windows) rather than the system's.
#ifdef _WIN32
inline constexpr bool kRegistryIsFile = false;
#else
inline constexpr bool kRegistryIsFile = true;
#endif

// What a bound file store does with changes. Keep: writes them to the file at the end of each
// batch. Discard: calls see their own changes while the batch lasts, as they would with Keep,
// but nothing is ever written (no backup either) and the changes are dropped when the batch
// ends; the file stays as it is, byte for byte. For runs that must not change the file, such
// as a check of its areas that runs the pages' loads.
enum class StoreWrites { Keep, Discard };

// Binds the entry points to one .reg file. Returns an empty string on success, otherwise a
// message naming the file, the line (for a malformed file) and what is wrong. The file is
// never modified by opening it. A store bound before is closed first, so after a failure no
// store is bound. On Windows there is no file store: it binds nothing and says so.
std::string OpenFileStore(const std::string& path, StoreWrites writes = StoreWrites::Keep);

// The format of the bound store's file (the store writes it back in the same format); none
// when no store is bound, and always none on Windows.
std::optional<RegFileFormat> FileStoreFormat();
// Unbinds the store; later calls fail as if no registry were there. Does nothing on Windows.
void CloseFileStore();

// Groups the registry calls of one user command. Batches nest; the outermost one counts. While
// it lives, the file store holds an exclusive lock on its file and reads it fresh if another
// program changed it; when it ends, the store writes the file once if anything changed.
class RegistryBatch {
  public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;
};

// Whether this process may change HKEY_LOCAL_MACHINE\Software, where the program's areas are.
// On Windows that takes administrator rights (the program is started as invoked, so a user
// without them, or who did not choose "Run as administrator", gets false); the file store can
// always be written.
#ifdef _WIN32
bool CanWriteMachineSettings();
#else
inline bool CanWriteMachineSettings() {
    return true;
}
#endif

// Returns and clears the last error the store met (file unreadable or malformed, a write that
// failed), as a message naming the file and the reason; empty when there was none.
std::string TakeStoreError();

}  // namespace registry
