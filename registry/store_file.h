#pragma once
// The registry file as the file store reads and writes it, safe against other programs and
// against a crash at any moment: an exclusive lock (flock on the file, re-checked after locking
// since writes replace the file), reads that fingerprint the bytes they hand out, and writes to a
// temporary file that is synced and then exchanged with the registry file in one step, after
// checking that no program which ignores the lock changed the file meanwhile. What a crashed
// writer left behind is cleared under the lock. The fingerprint and the file's stamp (identity,
// size and times) of the last read or write tell whether the file changed since.

#ifndef _WIN32

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "registry/fingerprint.h"
#include "registry/page_buffer.h"
#include "registry/reg_text.h"

namespace registry {

class StoreFile {
  public:
    enum class WriteStage { Backup, Write, Sync, Rename };
    // The file's identity and times as the system reports them.
    struct Stamp {
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = -1;
        int64_t modifiedNs = 0;
        int64_t changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };

    explicit StoreFile(std::string path);
    ~StoreFile();  // unlocks
    StoreFile(const StoreFile&) = delete;
    StoreFile& operator=(const StoreFile&) = delete;

    const std::string& Path() const { return path_; }

    // Waits up to `timeout` for the lock on the current file. Returns "" or what went wrong.
    std::string Lock(std::chrono::milliseconds timeout);
    void Unlock();

    // ---- Under the lock ----

    // Takes the locked file's status: its mode and owner (which writes keep) and whether it can
    // be written. Returns "" or what went wrong.
    std::string Examine();
    bool Writable() const { return writable_; }
    // The examined file's stamp is that of the last read or write, and its times are old enough
    // to be trusted: its bytes are those last read or written.
    bool KnownUnchanged() const;
    // Reads the whole file to see whether its bytes are those last read or written (`same`);
    // when they are, remembers the examined stamp for them. Returns 0 or the errno of a failed
    // read.
    int CheckUnchanged(bool* same);
    // Hands the file to `read` from its start; the rest of it is read after for the fingerprint.
    // When `read` returns true, the bytes are remembered as the file's current ones. Returns 0 or
    // the errno of a failed read.
    int Read(const std::function<bool(RegTextSource*)>& read);

    // Starts a write: removes temporary files of writes that never finished and notes the file's
    // stamp. Returns true when a program that ignores the lock changed or replaced the file since
    // it was last read or written; writing now would silently undo its change. `previous`
    // receives the file's bytes when `needBytes` (for the backup).
    bool ChangedBehindTheLock(bool needBytes, PageBuffer* previous);
    // Keeps `bytes` as the backup file (path + ".bak"). Returns 0 or an errno.
    int WriteBackup(std::string_view bytes);
    // Puts `bytes` in place of the file. Returns 0 or an errno; the file is then unchanged.
    int Write(std::string_view bytes);
    // The last Write failed because the file changed behind the lock at its very end.
    bool ReplacedBehindTheLock() const { return replacedBehindTheLock_; }
    // Remembers `bytes`, just written, as the file's current ones.
    void RememberWritten(std::string_view bytes);

    // The size of the file as last read or written.
    size_t LastSize() const { return lastPrint_.size; }

    // Called before each stage of a write; a nonzero errno makes that stage fail as if the
    // system had reported it (a Write failure leaves a half-written temporary file).
    void SetWriteFaultHook(std::function<int(WriteStage)> hook) { hook_ = std::move(hook); }

  private:
    void Remember(const Fingerprint& print, const Stamp& stamp, int64_t readStart);
    int Fault(WriteStage stage) { return hook_ ? hook_(stage) : 0; }
    int AtomicWrite(const std::string& target, std::string_view content, bool isBackup);
    int Replace(const std::string& temporary, const std::string& target);
    void RemoveStaleTemporaryFiles();
    std::string ReadWhole(size_t sizeHint, PageBuffer* content);

    std::string path_;
    int lockFd_ = -1;
    Stamp examined_;         // of the locked file as Examine found it
    Fingerprint lastPrint_;  // of the file's bytes as last read or written
    Stamp lastStamp_;        // of the file as last read or written
    Stamp checkedStamp_;     // of the locked file when a write found it unchanged
    bool replacedBehindTheLock_ = false;
    bool stampTrusted_ = false;  // an unchanged stamp means unchanged bytes (see the .cpp)
    int64_t timeGranularity_;    // of the file's file system
    bool writable_ = false;
    unsigned fileMode_ = 0644;
    int64_t fileOwner_ = -1;
    int64_t fileGroup_ = -1;
    std::function<int(WriteStage)> hook_;
};

}  // namespace registry

#endif
