#pragma once
// The .reg file store that stands in for the system registry away from Windows. The global
// Reg*A entry points use the store bound by OpenFileStore; tests may also run several stores
// on one file side by side, as two programs would.
//
// A store is one in-memory tree of the roots HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER (and the
// two others a file may hold) bound to one file. Every call reads the file fresh unless a batch
// is open; a batch locks the file (flock on the file, re-checked after locking since writes
// replace the file), reads it again only if its bytes changed, and writes it once at its end.

#ifndef _WIN32

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "registry/reg_text.h"
#include "registry/store_file.h"
#include "registry/win_registry.h"

namespace registry {

class FileStore {
  public:
    // Reads and parses `path`. Returns null and sets `error` when the file is missing,
    // unreadable or not a valid .reg file; the file is never modified by opening it.
    static std::unique_ptr<FileStore> Open(const std::string& path, std::string* error);
    ~FileStore();  // ends open batches (writing what they changed) and closes every handle
    FileStore(const FileStore&) = delete;
    FileStore& operator=(const FileStore&) = delete;

    // The ten registry calls with the platform's semantics.
    LONG OpenKey(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
    LONG CreateKey(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                   REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                   LPDWORD disposition);
    LONG CloseKey(HKEY key);
    LONG QueryValueEx(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);
    LONG SetValueEx(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);
    LONG EnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR keyClass, LPDWORD classSize, PFILETIME lastWrite);
    LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD size);
    LONG DeleteKey(HKEY key, LPCSTR subKey);
    LONG DeleteValue(HKEY key, LPCSTR name);
    LONG QueryValue(HKEY key, LPCSTR subKey, LPSTR data, PLONG size);

    // Batches nest; the outermost one locks, refreshes and finally writes.
    void BeginBatch();
    // Ends one level; at the outermost level writes if anything changed and unlocks. Returns 0
    // or the error code of a failed write (the message is kept for TakeError).
    LONG EndBatch();
    int BatchDepth() const;

    // The last error met (unreadable or malformed file, lock timeout, failed write), cleared.
    std::string TakeError();
    const std::string& Path() const;
    // The format of the file as last read; writes keep it.
    RegFileFormat Format() const;
    // With `discard`, the end of a batch drops its changes instead of writing them (see
    // StoreWrites::Discard); the next batch reads the file again.
    void SetDiscardWrites(bool discard);

    // ---- For tests ----
    using WriteStage = StoreFile::WriteStage;
    // Called before each stage of a file write (see StoreFile::SetWriteFaultHook).
    void SetWriteFaultHook(std::function<int(WriteStage)> hook);
    // Called by RegDeleteKeyA for each key it is about to delete (the key exists and has no
    // subkeys), with the key's full path as stored: the root's name, then every key name, joined
    // by backslashes ("HKEY_LOCAL_MACHINE\\Software\\...\\Display"). A nonzero result makes that
    // delete fail with this code and change nothing, as a key the system refuses to delete
    // would. An empty function removes the hook.
    void SetDeleteFaultHook(std::function<LONG(const std::string& keyPath)> hook);
    // How long a batch waits for another program's lock before giving up (default 10 s).
    void SetLockTimeout(std::chrono::milliseconds timeout);
    // How often the file was parsed and written since the store was opened.
    int ParseCount() const;
    int WriteCount() const;

  private:
    struct Impl;
    explicit FileStore(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// The store the global entry points use, or null.
FileStore* BoundFileStore();

}  // namespace registry

#endif
