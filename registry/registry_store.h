#pragma once
// Store-level control that both platforms share. On Windows the system registry needs none of
// it, so these are no-ops there; elsewhere they drive the .reg file store.

#include <string>

namespace registry {

#ifndef _WIN32
// Binds the entry points to one .reg file. Returns an empty string on success, otherwise a
// message naming the file, the line (for a malformed file) and what is wrong. The file is
// never modified by opening it. A store bound before is closed first, so after a failure no
// store is bound.
std::string OpenFileStore(const std::string& path);
// Unbinds the store; later calls fail as if no registry were there.
void CloseFileStore();
#endif

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

// Returns and clears the last error the store met (file unreadable or malformed, a write that
// failed), as a message naming the file and the reason; empty when there was none.
std::string TakeStoreError();

}  // namespace registry
