// The .reg file store: the registry entry points away from Windows.
#ifndef _WIN32

#include "registry/file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "registry/key_tree.h"
#include "registry/reg_text.h"
#include "registry/registry_store.h"

namespace registry {

namespace {

constexpr LONG kErrorBadPathname = 161;
constexpr LONG kErrorNoAccess = 998;
constexpr REGSAM kDelete = 0x00010000;
constexpr REGSAM kWriteDac = 0x00040000;
constexpr REGSAM kWriteOwner = 0x00080000;
constexpr REGSAM kMaximumAllowed = 0x02000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kGenericExecute = 0x20000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kWriteBits =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | kDelete | kWriteDac | kWriteOwner;
constexpr size_t kMaxKeyNameLength = 255;

// Handle values are unique across stores, so a handle of one store is never taken for
// another's; they stay far below the predefined roots.
std::atomic<uintptr_t> g_nextHandle{0x1000};

bool RootOf(HKEY key, RegRoot* root) {
    if (key == HKEY_LOCAL_MACHINE)
        *root = RegRoot::LocalMachine;
    else if (key == HKEY_CURRENT_USER)
        *root = RegRoot::CurrentUser;
    else if (key == HKEY_CLASSES_ROOT)
        *root = RegRoot::ClassesRoot;
    else if (key == HKEY_USERS)
        *root = RegRoot::Users;
    else
        return false;
    return true;
}

// Generic rights as the registry maps them onto key rights.
REGSAM MapAccess(REGSAM access, bool writable) {
    if (access & kMaximumAllowed)
        access |= writable ? KEY_ALL_ACCESS : KEY_READ;
    if (access & kGenericRead)
        access |= KEY_READ;
    if (access & kGenericWrite)
        access |= KEY_WRITE;
    if (access & kGenericExecute)
        access |= KEY_READ;
    if (access & kGenericAll)
        access |= KEY_ALL_ACCESS;
    return access &
           ~(kMaximumAllowed | kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
}

// Splits a subkey path. As in the system registry, a leading backslash is a bad path, while a
// run of backslashes inside separates like one and trailing ones are ignored.
LONG SplitPath(LPCSTR path, std::vector<std::string_view>* parts) {
    parts->clear();
    if (path == nullptr || *path == 0)
        return ERROR_SUCCESS;
    std::string_view rest(path);
    if (rest.front() == '\\')
        return kErrorBadPathname;
    while (!rest.empty()) {
        size_t next = rest.find('\\');
        std::string_view part = rest.substr(0, next);
        if (!part.empty()) {
            if (part.size() > kMaxKeyNameLength || !IsWritableRegName(part))
                return ERROR_INVALID_PARAMETER;
            parts->push_back(part);
        }
        if (next == std::string_view::npos)
            break;
        rest.remove_prefix(next + 1);
    }
    return ERROR_SUCCESS;
}

LONG ErrnoToResult(int e) {
    switch (e) {
        case EACCES:
        case EPERM:
        case EROFS:
            return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        default:
            return ERROR_WRITE_FAULT;
    }
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct OpenHandle {
    KeyTree::Node node;  // KeyTree::kNoNode once the key is deleted
    RegRoot root;
    REGSAM access;
};

// What identifies the file's bytes without keeping them: their size and two independent 64-bit
// hashes.
struct Fingerprint {
    size_t size = 0;
    uint64_t a = 0;
    uint64_t b = 0;
    bool operator==(const Fingerprint&) const = default;
};

inline uint64_t Rotate(uint64_t v, int bits) {
    return (v << bits) | (v >> (64 - bits));
}

inline uint64_t Mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return h;
}

// Fingerprints bytes handed over in pieces of any size.
class FingerprintBuilder {
  public:
    void Add(std::string_view bytes) {
        size_ += bytes.size();
        if (held_ > 0) {
            const size_t take = std::min(bytes.size(), sizeof block_ - held_);
            std::memcpy(block_ + held_, bytes.data(), take);
            held_ += take;
            bytes.remove_prefix(take);
            if (held_ < sizeof block_)
                return;
            Block(block_);
            held_ = 0;
        }
        for (; bytes.size() >= sizeof block_; bytes.remove_prefix(sizeof block_))
            Block(bytes.data());
        std::memcpy(block_, bytes.data(), bytes.size());
        held_ = bytes.size();
    }

    Fingerprint Finish() const {
        uint64_t tail[2] = {0, 0};
        std::memcpy(tail, block_, held_);
        const uint64_t a = Mix(a_ ^ tail[0] ^ size_);
        const uint64_t b = Mix(b_ ^ tail[1] ^ Rotate(size_, 17));
        return Fingerprint{size_, Mix(a ^ b), b};
    }

  private:
    void Block(const char* p) {
        uint64_t w0, w1;
        std::memcpy(&w0, p, 8);
        std::memcpy(&w1, p + 8, 8);
        a_ = Rotate((a_ ^ w0) * 0x87c37b91114253d5ull, 31);
        b_ = Rotate((b_ ^ w1) * 0x4cf5ad432745937full, 29);
    }

    uint64_t a_ = 0x9E3779B97F4A7C15ull;
    uint64_t b_ = 0xC2B2AE3D27D4EB4Full;
    size_t size_ = 0;
    char block_[16];
    size_t held_ = 0;
};

Fingerprint FingerprintOf(std::string_view bytes) {
    FingerprintBuilder builder;
    builder.Add(bytes);
    return builder.Finish();
}

// The locked file read from its start, piece by piece, fingerprinting what it hands out.
class LockedFileSource : public RegTextSource {
  public:
    LockedFileSource(int fd, size_t size) : fd_(fd), size_(size) {}

    size_t Read(char* buffer, size_t size) override {
        while (error_ == 0) {
            const ssize_t n = ::pread(fd_, buffer, size, offset_);
            if (n < 0) {
                if (errno != EINTR)
                    error_ = errno;
                continue;
            }
            offset_ += n;
            print_.Add(std::string_view(buffer, static_cast<size_t>(n)));
            return static_cast<size_t>(n);
        }
        return 0;
    }
    size_t SizeHint() const override { return size_; }

    // Reads what is left, for the fingerprint alone.
    void Drain() {
        char buffer[65536];
        while (Read(buffer, sizeof buffer) > 0) {
        }
    }
    int Error() const { return error_; }
    Fingerprint Print() const { return print_.Finish(); }

  private:
    int fd_;
    size_t size_;
    off_t offset_ = 0;
    int error_ = 0;
    FingerprintBuilder print_;
};

// The file's identity and times as the system reports them.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    struct timespec modified {};
    struct timespec changed {};
};

FileStamp StampOf(const struct stat& st) {
    return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           SameTime(a.modified, b.modified) && SameTime(a.changed, b.changed);
}

// File times have a granularity (a clock tick, up to 2 s on some file systems): a change made
// within it after a read may leave the times as they were. Only a file whose last change lies
// longer than this before the read is known unchanged while its times stay the same.
constexpr int64_t kTimeGranularityNs = 3'000'000'000;
// Local file systems of the system's own clock with times of a nanosecond, which the kernel
// takes from a clock that ticks in a few milliseconds: a generous margin over that tick.
constexpr int64_t kFineTimeGranularityNs = 50'000'000;

int64_t TimeGranularityOf(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return kTimeGranularityNs;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0xEF53:      // ext2, ext3, ext4
        case 0x58465342:  // xfs
        case 0x9123683E:  // btrfs
        case 0x01021994:  // tmpfs
        case 0xF2F52010:  // f2fs
            return kFineTimeGranularityNs;
        default:
            return kTimeGranularityNs;
    }
}

int64_t Nanoseconds(const struct timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

int64_t WallClockNs() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

std::unique_ptr<FileStore> g_store;

}  // namespace

struct FileStore::Impl {
    std::string path;
    std::unique_ptr<KeyTree> tree = std::make_unique<KeyTree>();
    RegFileFormat format;
    Fingerprint lastPrint;               // of the file's bytes as last read or written
    FileStamp lastStamp;                 // of the file as last read or written
    FileStamp checkedStamp;              // of the locked file when a write found it unchanged
    bool replacedBehindTheLock = false;  // the last write found the file changed at the end
    bool stampTrusted = false;  // an unchanged stamp means unchanged bytes (see kTimeGranularityNs)
    int64_t timeGranularity = kTimeGranularityNs;  // of the file's file system
    bool loaded = false;
    bool stale = false;  // memory holds changes a failed write lost: read again
    bool writable = false;
    bool dirty = false;
    bool discardWrites = false;
    bool backupDone = false;
    int depth = 0;
    int lockFd = -1;
    LONG batchStatus = ERROR_SUCCESS;  // why calls in the current batch fail, if they do
    mode_t fileMode = 0644;
    uid_t fileOwner = static_cast<uid_t>(-1);
    gid_t fileGroup = static_cast<gid_t>(-1);
    std::unordered_map<uintptr_t, OpenHandle> handles;
    std::string error;
    std::function<int(WriteStage)> hook;
    std::function<LONG(const std::string&)> deleteHook;
    std::chrono::milliseconds lockTimeout{10000};
    int parses = 0;
    int writes = 0;

    ~Impl() { Unlock(); }

    void SetError(std::string message) { error = std::move(message); }

    // ---- Locking and reading ----

    std::string Lock() {
        const auto deadline = std::chrono::steady_clock::now() + lockTimeout;
        while (true) {
            int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                return path + ": cannot open the registry file: " + std::strerror(errno);
            while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                if (errno != EWOULDBLOCK && errno != EINTR) {
                    int e = errno;
                    ::close(fd);
                    return path + ": cannot lock the registry file: " + std::strerror(e);
                }
                if (std::chrono::steady_clock::now() > deadline) {
                    ::close(fd);
                    return path + ": the registry file stays locked by another program";
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            // Writers replace the file, so the lock only counts if it is on the current one.
            struct stat locked {};
            struct stat current {};
            if (::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &current) == 0 &&
                locked.st_dev == current.st_dev && locked.st_ino == current.st_ino) {
                lockFd = fd;
                return {};
            }
            ::close(fd);
        }
    }

    void Unlock() {
        if (lockFd >= 0) {
            ::close(lockFd);  // releases the flock
            lockFd = -1;
        }
    }

    // The locked file's status; also takes its mode, owner and whether it can be written.
    std::string StatLocked(struct stat* st) {
        if (::fstat(lockFd, st) != 0)
            return path + ": cannot read the registry file: " + std::strerror(errno);
        if (!S_ISREG(st->st_mode))
            return path + ": not a regular file";
        fileMode = st->st_mode & 07777;
        timeGranularity = TimeGranularityOf(lockFd);
        fileOwner = st->st_uid;
        fileGroup = st->st_gid;
        writable = (st->st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0 &&
                   ::access(DirectoryOf(path).c_str(), W_OK | X_OK) == 0;
        return {};
    }

    using Content = PageBuffer;

    // The file's bytes, read whole.
    std::string ReadLocked(size_t sizeHint, Content* content) {
        content->Clear();
        content->Reserve(sizeHint + 1);
        while (true) {
            const size_t done = content->size();
            content->Resize(done + 65536 > sizeHint + 1 ? done + 65536 : sizeHint + 1);
            ssize_t n = ::pread(lockFd, content->data() + done, content->size() - done,
                                static_cast<off_t>(done));
            content->Resize(done + (n > 0 ? static_cast<size_t>(n) : 0));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return path + ": cannot read the registry file: " + std::strerror(errno);
            }
            if (n == 0)
                break;
        }
        return {};
    }

    // Keeps what identifies the file's current bytes; `readStart` is when their reading began.
    void Remember(const Fingerprint& print, const struct stat& st, int64_t readStart) {
        lastPrint = print;
        lastStamp = StampOf(st);
        stampTrusted = Nanoseconds(st.st_ctim) + timeGranularity < readStart &&
                       Nanoseconds(st.st_mtim) + timeGranularity < readStart;
    }

    // Brings memory up to the file under the lock; parses only when the bytes changed. The
    // file is read in pieces, never held whole: once to see whether its bytes changed (unless
    // nothing is loaded yet), and when they did once more to parse them.
    LONG Refresh() {
        struct stat st {};
        if (std::string err = StatLocked(&st); !err.empty()) {
            SetError(err);
            return ERROR_REGISTRY_IO_FAILED;
        }
        const bool current = loaded && !stale;
        if (current && stampTrusted && SameStamp(StampOf(st), lastStamp))
            return ERROR_SUCCESS;
        const size_t size = static_cast<size_t>(st.st_size);
        if (current) {
            const int64_t readStart = WallClockNs();
            LockedFileSource check(lockFd, size);
            check.Drain();
            if (check.Error() != 0)
                return ReadFailed(check.Error());
            if (check.Print() == lastPrint) {
                Remember(check.Print(), st, readStart);
                return ERROR_SUCCESS;
            }
        }
        const int64_t readStart = WallClockNs();
        LockedFileSource source(lockFd, size);
        auto fresh = std::make_unique<KeyTree>();
        RegFileFormat freshFormat;
        const std::string err = ParseRegText(&source, path, fresh.get(), &freshFormat);
        source.Drain();  // the fingerprint covers the whole file, also after an error
        if (source.Error() != 0)
            return ReadFailed(source.Error());
        if (!err.empty()) {
            SetError(err);
            return ERROR_BADDB;
        }
        ++parses;
        ReplaceTree(std::move(fresh));
        format = freshFormat;
        Remember(source.Print(), st, readStart);
        loaded = true;
        stale = false;
        return ERROR_SUCCESS;
    }

    LONG ReadFailed(int e) {
        SetError(path + ": cannot read the registry file: " + std::strerror(e));
        return ERROR_REGISTRY_IO_FAILED;
    }

    // Moves open handles over to the same keys of a new tree; a handle whose key is gone
    // counts as deleted.
    void ReplaceTree(std::unique_ptr<KeyTree> fresh) {
        for (auto& [id, h] : handles) {
            if (h.node == KeyTree::kNoNode)
                continue;
            std::vector<std::string_view> names;
            for (KeyTree::Node n = h.node; tree->Parent(n) != KeyTree::kNoNode; n = tree->Parent(n))
                names.push_back(tree->Name(n));
            KeyTree::Node node = KeyTree::Root(h.root);
            for (auto it = names.rbegin(); node != KeyTree::kNoNode && it != names.rend(); ++it)
                node = fresh->FindSubkey(node, *it);
            h.node = node;
        }
        tree = std::move(fresh);
    }

    // ---- Writing ----

    int Fault(WriteStage stage) { return hook ? hook(stage) : 0; }

    // Puts the written temporary file in place of the registry file. A program that ignores
    // the lock may have replaced or changed the file since it was last checked, while the new
    // bytes were written and synced; overwriting it then would silently undo that program's
    // change. So the two are exchanged in one step, and the file taken out is checked to be
    // the locked one, unchanged; if it is not, it goes straight back and nothing is written.
    // Where the file system cannot exchange, a plain rename has to do.
    int Replace(const std::string& temporary, const std::string& target) {
        if (lockFd >= 0 && ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(),
                                       RENAME_EXCHANGE) == 0) {
            // The exchange itself changes the files' change times; an in-place write changes
            // the size or the modification time.
            struct stat out {};
            struct stat locked {};
            bool ours = ::stat(temporary.c_str(), &out) == 0 && ::fstat(lockFd, &locked) == 0 &&
                        out.st_dev == locked.st_dev && out.st_ino == locked.st_ino &&
                        locked.st_size == checkedStamp.size &&
                        SameTime(locked.st_mtim, checkedStamp.modified);
            // File times move in clock ticks: a change within the tick of the last one leaves
            // them as they were, so a file changed that recently is compared by its bytes.
            if (ours && Nanoseconds(locked.st_mtim) + kTimeGranularityNs >= WallClockNs()) {
                LockedFileSource check(lockFd, static_cast<size_t>(locked.st_size));
                check.Drain();
                ours = check.Error() == 0 && check.Print() == lastPrint;
            }
            if (!ours) {
                ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE);
                replacedBehindTheLock = true;
                return EAGAIN;
            }
            return ::unlink(temporary.c_str()) == 0 ? 0 : errno;
        }
        if (lockFd >= 0 && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
            return errno;
        return ::rename(temporary.c_str(), target.c_str()) != 0 ? errno : 0;
    }

    // Temporary file in the same folder, flushed, then renamed over the target.
    int AtomicWrite(const std::string& target, std::string_view content, bool isBackup) {
        if (isBackup) {
            if (int e = Fault(WriteStage::Backup))
                return e;
        }
        std::string tmpl = DirectoryOf(target) + "/." + BaseNameOf(target) + ".tmp-XXXXXX";
        int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (fd < 0)
            return errno;
        int e = 0;
        size_t limit = content.size();
        if (!isBackup) {
            if (int f = Fault(WriteStage::Write)) {
                e = f;
                limit = content.size() / 2;  // as a full disk would leave it
            }
        }
        size_t done = 0;
        while (done < limit) {
            ssize_t n = ::write(fd, content.data() + done, limit - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                e = errno;
                break;
            }
            done += static_cast<size_t>(n);
        }
        if (e == 0 && !isBackup)
            e = Fault(WriteStage::Sync);
        if (e == 0 && ::fsync(fd) != 0)
            e = errno;
        if (e == 0 && ::fchmod(fd, fileMode) != 0)
            e = errno;
        // Only the superuser may hand the file back to its owner; for anyone else the owner is
        // already right.
        if (e == 0 && ::geteuid() == 0 && ::fchown(fd, fileOwner, fileGroup) != 0)
            e = errno;
        // The new file is locked before it is put in place: a program that opens it once it
        // is the registry file must wait until this write has checked the exchange and cleared
        // its temporary file, or it would take that file for a stale one and remove it.
        int lockHolder = -1;
        if (e == 0 && !isBackup && lockFd >= 0) {
            lockHolder = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
            if (lockHolder < 0 || ::flock(lockHolder, LOCK_EX | LOCK_NB) != 0)
                e = errno;
        }
        if (::close(fd) != 0 && e == 0)
            e = errno;
        if (e == 0 && !isBackup)
            e = Fault(WriteStage::Rename);
        if (e == 0)
            e = isBackup ? (::rename(tmpl.c_str(), target.c_str()) != 0 ? errno : 0)
                         : Replace(tmpl, target);
        if (e != 0)
            ::unlink(tmpl.c_str());
        if (lockHolder >= 0)
            ::close(lockHolder);  // releases the new file's lock
        if (e != 0)
            return e;
        int dirFd = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
        return 0;
    }

    // True when a program that ignores the lock changed or replaced the file during the
    // batch; writing now would silently undo its change. `content` receives the file's bytes
    // when they had to be read (always when `needBytes`).
    bool ChangedBehindTheLock(bool needBytes, Content* content) {
        struct stat current {};
        struct stat locked {};
        if (::stat(path.c_str(), &current) != 0 || ::fstat(lockFd, &locked) != 0 ||
            current.st_dev != locked.st_dev || current.st_ino != locked.st_ino)
            return true;
        if (!needBytes && stampTrusted && SameStamp(StampOf(locked), lastStamp))
            return false;
        if (!needBytes) {
            LockedFileSource check(lockFd, static_cast<size_t>(locked.st_size));
            check.Drain();
            return check.Error() != 0 || !(check.Print() == lastPrint);
        }
        return !ReadLocked(static_cast<size_t>(locked.st_size), content).empty() ||
               !(FingerprintOf(content->View()) == lastPrint);
    }

    // Temporary files of writes that never finished (the writer was killed or lost power).
    // Every store writes its temporary files only while it holds the lock, so under the lock
    // any that are left are stale.
    void RemoveStaleTemporaryFiles() {
        const std::string dir = DirectoryOf(path);
        const std::string base = BaseNameOf(path);
        const std::string prefixes[2] = {"." + base + ".tmp-", "." + base + ".bak.tmp-"};
        DIR* d = ::opendir(dir.c_str());
        if (d == nullptr)
            return;
        while (const struct dirent* entry = ::readdir(d)) {
            const std::string_view name(entry->d_name);
            for (const std::string& prefix : prefixes) {
                if (name.size() == prefix.size() + 6 && name.substr(0, prefix.size()) == prefix)
                    ::unlinkat(::dirfd(d), entry->d_name, 0);
            }
        }
        ::closedir(d);
    }

    LONG Write() {
        if (lockFd >= 0)
            RemoveStaleTemporaryFiles();
        Content previous;
        struct stat checked {};
        if (lockFd >= 0 && ::fstat(lockFd, &checked) == 0)
            checkedStamp = StampOf(checked);
        replacedBehindTheLock = false;
        if (lockFd >= 0 && ChangedBehindTheLock(!backupDone, &previous)) {
            SetError(path +
                     ": another program changed the registry file while it was in use; "
                     "nothing was written and the file will be read again");
            return ERROR_REGISTRY_IO_FAILED;
        }
        if (!backupDone) {
            if (int e = AtomicWrite(path + ".bak", previous.View(), true)) {
                SetError(path + ".bak: cannot keep the previous registry file: " +
                         std::strerror(e) + "; nothing was written");
                return ErrnoToResult(e);
            }
            backupDone = true;
        }
        previous = Content();
        const PageBuffer text = WriteRegFile(*tree, format, lastPrint.size + lastPrint.size / 8);
        if (int e = AtomicWrite(path, text.View(), false)) {
            if (replacedBehindTheLock) {
                SetError(path +
                         ": another program changed the registry file while it was in use; "
                         "nothing was written and the file will be read again");
                return ERROR_REGISTRY_IO_FAILED;
            }
            SetError(path + ": cannot write the registry file: " + std::strerror(e) +
                     "; the file is unchanged");
            return ErrnoToResult(e);
        }
        // The file's times are those of this very moment, so the next batch reads it once
        // more before it trusts them.
        struct stat st {};
        const Fingerprint print = FingerprintOf(text.View());
        if (::stat(path.c_str(), &st) == 0) {
            Remember(print, st, WallClockNs());
        } else {
            lastPrint = print;
            stampTrusted = false;
        }
        ++writes;
        return ERROR_SUCCESS;
    }

    // ---- Batches ----

    void BeginBatch() {
        if (depth++ > 0)
            return;
        batchStatus = ERROR_SUCCESS;
        if (std::string err = Lock(); !err.empty()) {
            SetError(err);
            batchStatus = ERROR_REGISTRY_IO_FAILED;
            return;
        }
        batchStatus = Refresh();
    }

    LONG EndBatch() {
        if (depth == 0)
            return ERROR_SUCCESS;
        if (--depth > 0)
            return ERROR_SUCCESS;
        LONG result = ERROR_SUCCESS;
        if (dirty && discardWrites) {
            stale = true;  // memory no longer matches the file: the next batch reads it again
        } else if (dirty && batchStatus == ERROR_SUCCESS) {
            result = Write();
            if (result != ERROR_SUCCESS)
                stale = true;  // drop what was not written; the next call reads the file
        }
        dirty = false;
        batchStatus = ERROR_SUCCESS;
        Unlock();
        tree->CompactIfWasteful();
        return result;
    }

    // One call: inside a batch it just runs; alone it reads fresh and writes at once.
    template <typename F>
    LONG Run(F&& call) {
        BeginBatch();
        LONG result = batchStatus != ERROR_SUCCESS ? batchStatus : call();
        LONG written = EndBatch();
        return result != ERROR_SUCCESS ? result : written;
    }

    // ---- Keys ----

    LONG Resolve(HKEY key, KeyTree::Node* node, OpenHandle* info) {
        RegRoot root;
        if (RootOf(key, &root)) {
            *node = KeyTree::Root(root);
            *info = OpenHandle{*node, root, KEY_ALL_ACCESS};
            return ERROR_SUCCESS;
        }
        auto it = handles.find(reinterpret_cast<uintptr_t>(key));
        if (it == handles.end())
            return ERROR_INVALID_HANDLE;
        if (it->second.node == KeyTree::kNoNode)
            return ERROR_KEY_DELETED;
        *node = it->second.node;
        *info = it->second;
        return ERROR_SUCCESS;
    }

    // The existing key `subKey` names below `key`; `named` tells whether the path named a
    // subkey at all (the empty path is the key itself).
    LONG FindKey(HKEY key, LPCSTR subKey, KeyTree::Node* node, OpenHandle* info,
                 bool* named = nullptr) {
        if (LONG r = Resolve(key, node, info))
            return r;
        std::vector<std::string_view> parts;
        if (LONG r = SplitPath(subKey, &parts))
            return r;
        if (named != nullptr)
            *named = !parts.empty();
        for (std::string_view part : parts) {
            *node = tree->FindSubkey(*node, part);
            if (*node == KeyTree::kNoNode)
                return ERROR_FILE_NOT_FOUND;
        }
        return ERROR_SUCCESS;
    }

    HKEY NewHandle(KeyTree::Node node, RegRoot root, REGSAM access) {
        uintptr_t id = g_nextHandle.fetch_add(4);
        handles[id] = OpenHandle{node, root, access};
        return reinterpret_cast<HKEY>(id);
    }

    LONG OpenKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = FindKey(key, subKey, &node, &info))
            return r;
        access = MapAccess(access, writable);
        if ((access & kWriteBits) && !writable)
            return ERROR_ACCESS_DENIED;
        *result = NewHandle(node, info.root, access);
        return ERROR_SUCCESS;
    }

    LONG CreateKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = Resolve(key, &node, &info))
            return r;
        std::vector<std::string_view> parts;
        if (LONG r = SplitPath(subKey, &parts))
            return r;
        size_t i = 0;
        for (; i < parts.size(); ++i) {
            KeyTree::Node child = tree->FindSubkey(node, parts[i]);
            if (child == KeyTree::kNoNode)
                break;
            node = child;
        }
        const bool creating = i < parts.size();
        access = MapAccess(access, writable);
        if (((access & kWriteBits) || creating) && !writable)
            return ERROR_ACCESS_DENIED;
        if (creating && i == 0 && !(info.access & KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        for (; i < parts.size(); ++i)
            node = tree->AddSubkey(node, parts[i]);
        if (creating)
            dirty = true;
        if (disposition)
            *disposition = creating ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        *result = NewHandle(node, info.root, access);
        return ERROR_SUCCESS;
    }

    LONG QueryValueEx(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = Resolve(key, &node, &info))
            return r;
        if (!(info.access & KEY_QUERY_VALUE))
            return ERROR_ACCESS_DENIED;
        if (data != nullptr && size == nullptr)
            return ERROR_INVALID_PARAMETER;
        const long found = tree->FindValue(node, name ? name : "");
        if (found < 0)
            return ERROR_FILE_NOT_FOUND;
        const KeyTree::ValueView value = tree->ValueAt(node, static_cast<size_t>(found));
        if (type)
            *type = value.type;
        if (size == nullptr)
            return ERROR_SUCCESS;
        const DWORD needed = static_cast<DWORD>(value.size);
        if (data != nullptr) {
            if (*size < needed) {
                *size = needed;
                return ERROR_MORE_DATA;
            }
            std::memcpy(data, value.data, value.size);
        }
        *size = needed;
        return ERROR_SUCCESS;
    }

    LONG SetValueEx(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = Resolve(key, &node, &info))
            return r;
        if (!(info.access & KEY_SET_VALUE) || !writable)
            return ERROR_ACCESS_DENIED;
        if (data == nullptr && size != 0)
            return kErrorNoAccess;
        if (name && !IsWritableRegName(name))
            return ERROR_INVALID_PARAMETER;
        tree->SetValue(node, name ? name : "", type, data, size);
        dirty = true;
        return ERROR_SUCCESS;
    }

    LONG EnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPSTR keyClass,
                   LPDWORD classSize, PFILETIME lastWrite) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = Resolve(key, &node, &info))
            return r;
        if (!(info.access & KEY_ENUMERATE_SUB_KEYS))
            return ERROR_ACCESS_DENIED;
        if (name == nullptr || nameSize == nullptr)
            return ERROR_INVALID_PARAMETER;
        const KeyTree::Node child = tree->SubkeyAt(node, index);
        if (child == KeyTree::kNoNode)
            return ERROR_NO_MORE_ITEMS;
        const std::string_view found = tree->Name(child);
        if (found.size() + 1 > *nameSize)
            return ERROR_MORE_DATA;
        std::memcpy(name, found.data(), found.size());
        name[found.size()] = 0;
        *nameSize = static_cast<DWORD>(found.size());
        if (classSize) {
            if (keyClass && *classSize > 0)
                keyClass[0] = 0;
            *classSize = 0;
        }
        if (lastWrite)
            *lastWrite = FILETIME{0, 0};
        return ERROR_SUCCESS;
    }

    LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD type, LPBYTE data,
                   LPDWORD size) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = Resolve(key, &node, &info))
            return r;
        if (!(info.access & KEY_QUERY_VALUE))
            return ERROR_ACCESS_DENIED;
        if (name == nullptr || nameSize == nullptr || (data != nullptr && size == nullptr))
            return ERROR_INVALID_PARAMETER;
        if (index >= tree->ValueCount(node))
            return ERROR_NO_MORE_ITEMS;
        const KeyTree::ValueView value = tree->ValueAt(node, index);
        const DWORD needed = static_cast<DWORD>(value.size);
        if (type)
            *type = value.type;
        if (value.name.size() + 1 > *nameSize)
            return ERROR_MORE_DATA;
        if (data != nullptr && *size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(name, value.name.data(), value.name.size());
        name[value.name.size()] = 0;
        *nameSize = static_cast<DWORD>(value.name.size());
        if (data != nullptr && value.size > 0)
            std::memcpy(data, value.data, value.size);
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }

    LONG DeleteKey(HKEY key, LPCSTR subKey) {
        // The empty name deletes the key itself; no name at all is refused, as by the system.
        if (subKey == nullptr)
            return ERROR_INVALID_PARAMETER;
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = FindKey(key, subKey, &node, &info))
            return r;
        const KeyTree::Node parent = tree->Parent(node);
        if (deleteHook && parent != KeyTree::kNoNode) {
            std::vector<std::string_view> names;
            for (KeyTree::Node n = node; tree->Parent(n) != KeyTree::kNoNode; n = tree->Parent(n))
                names.push_back(tree->Name(n));
            std::string fullPath = RegRootName(info.root);
            for (auto it = names.rbegin(); it != names.rend(); ++it) {
                fullPath.push_back('\\');
                fullPath.append(*it);
            }
            if (LONG r = deleteHook(fullPath))
                return r;
        }
        if (parent == KeyTree::kNoNode || !writable || tree->SubkeyCount(node) != 0)
            return ERROR_ACCESS_DENIED;
        for (auto& [id, h] : handles)
            if (h.node == node)
                h.node = KeyTree::kNoNode;
        tree->RemoveSubkey(parent, node);
        dirty = true;
        return ERROR_SUCCESS;
    }

    LONG DeleteValue(HKEY key, LPCSTR name) {
        KeyTree::Node node;
        OpenHandle info;
        if (LONG r = Resolve(key, &node, &info))
            return r;
        if (!(info.access & KEY_SET_VALUE) || !writable)
            return ERROR_ACCESS_DENIED;
        if (!tree->RemoveValue(node, name ? name : ""))
            return ERROR_FILE_NOT_FOUND;
        dirty = true;
        return ERROR_SUCCESS;
    }

    LONG QueryValue(HKEY key, LPCSTR subKey, LPSTR data, PLONG size) {
        KeyTree::Node node;
        OpenHandle info;
        bool named = false;
        if (LONG r = FindKey(key, subKey, &node, &info, &named))
            return r;
        if (!named && !(info.access & KEY_QUERY_VALUE))
            return ERROR_ACCESS_DENIED;
        // The unnamed value's bytes as stored, whatever their type and whether or not they end
        // in a zero, as the system hands them out; a missing value reads as the empty string.
        static const uint8_t kEmpty[1] = {0};
        const long found = tree->FindValue(node, "");
        const KeyTree::ValueView value = found >= 0
                                             ? tree->ValueAt(node, static_cast<size_t>(found))
                                             : KeyTree::ValueView{{}, REG_SZ, kEmpty, 1};
        const LONG needed = static_cast<LONG>(value.size);
        if (size == nullptr)
            return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
        if (data != nullptr) {
            if (*size < needed) {
                *size = needed;
                return ERROR_MORE_DATA;
            }
            if (value.size > 0)
                std::memcpy(data, value.data, value.size);
        }
        *size = needed;
        return ERROR_SUCCESS;
    }
};

FileStore::FileStore(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

FileStore::~FileStore() {
    while (impl_->depth > 0)
        impl_->EndBatch();
}

std::unique_ptr<FileStore> FileStore::Open(const std::string& path, std::string* error) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    // Writes replace the file by renaming, which would replace a symbolic link with a plain
    // file; work on the file the link points to instead.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            impl->path = real;
        std::free(real);
    }
    impl->BeginBatch();
    LONG status = impl->batchStatus;
    impl->EndBatch();
    if (status != ERROR_SUCCESS) {
        if (error)
            *error = impl->error;
        return nullptr;
    }
    if (error)
        error->clear();
    return std::unique_ptr<FileStore>(new FileStore(std::move(impl)));
}

LONG FileStore::OpenKey(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return impl_->Run([&] { return impl_->OpenKey(key, subKey, access, result); });
}

LONG FileStore::CreateKey(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access,
                          LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return impl_->Run([&] { return impl_->CreateKey(key, subKey, access, result, disposition); });
}

LONG FileStore::CloseKey(HKEY key) {
    RegRoot root;
    if (RootOf(key, &root))
        return ERROR_SUCCESS;
    return impl_->handles.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS
                                                                  : ERROR_INVALID_HANDLE;
}

LONG FileStore::QueryValueEx(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD size) {
    return impl_->Run([&] { return impl_->QueryValueEx(key, name, type, data, size); });
}

LONG FileStore::SetValueEx(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    return impl_->Run([&] { return impl_->SetValueEx(key, name, type, data, size); });
}

LONG FileStore::EnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD,
                          LPSTR keyClass, LPDWORD classSize, PFILETIME lastWrite) {
    return impl_->Run([&] {
        return impl_->EnumKeyEx(key, index, name, nameSize, keyClass, classSize, lastWrite);
    });
}

LONG FileStore::EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD,
                          LPDWORD type, LPBYTE data, LPDWORD size) {
    return impl_->Run(
        [&] { return impl_->EnumValue(key, index, name, nameSize, type, data, size); });
}

LONG FileStore::DeleteKey(HKEY key, LPCSTR subKey) {
    return impl_->Run([&] { return impl_->DeleteKey(key, subKey); });
}

LONG FileStore::DeleteValue(HKEY key, LPCSTR name) {
    return impl_->Run([&] { return impl_->DeleteValue(key, name); });
}

LONG FileStore::QueryValue(HKEY key, LPCSTR subKey, LPSTR data, PLONG size) {
    return impl_->Run([&] { return impl_->QueryValue(key, subKey, data, size); });
}

void FileStore::BeginBatch() {
    impl_->BeginBatch();
}
LONG FileStore::EndBatch() {
    return impl_->EndBatch();
}
int FileStore::BatchDepth() const {
    return impl_->depth;
}
std::string FileStore::TakeError() {
    return std::exchange(impl_->error, {});
}
const std::string& FileStore::Path() const {
    return impl_->path;
}
RegFileFormat FileStore::Format() const {
    return impl_->format;
}
void FileStore::SetDiscardWrites(bool discard) {
    impl_->discardWrites = discard;
}
void FileStore::SetWriteFaultHook(std::function<int(WriteStage)> hook) {
    impl_->hook = std::move(hook);
}
void FileStore::SetDeleteFaultHook(std::function<LONG(const std::string&)> hook) {
    impl_->deleteHook = std::move(hook);
}
void FileStore::SetLockTimeout(std::chrono::milliseconds timeout) {
    impl_->lockTimeout = timeout;
}
int FileStore::ParseCount() const {
    return impl_->parses;
}
int FileStore::WriteCount() const {
    return impl_->writes;
}

FileStore* BoundFileStore() {
    return g_store.get();
}

// ---- The global surface ----

std::string OpenFileStore(const std::string& path, StoreWrites writes) {
    g_store.reset();
    std::string error;
    g_store = FileStore::Open(path, &error);
    if (g_store)
        g_store->SetDiscardWrites(writes == StoreWrites::Discard);
    return error;
}

std::optional<RegFileFormat> FileStoreFormat() {
    if (!g_store)
        return std::nullopt;
    return g_store->Format();
}

void CloseFileStore() {
    g_store.reset();
}

RegistryBatch::RegistryBatch() {
    if (g_store)
        g_store->BeginBatch();
}

RegistryBatch::~RegistryBatch() {
    if (g_store)
        g_store->EndBatch();
}

std::string TakeStoreError() {
    return g_store ? g_store->TakeError() : std::string();
}

}  // namespace registry

using registry::g_store;

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                   PHKEY phkResult) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->OpenKey(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->CreateKey(hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired,
                              lpSecurityAttributes, phkResult, lpdwDisposition);
}

LONG RegCloseKey(HKEY hKey) {
    if (!g_store) {
        registry::RegRoot root;
        return registry::RootOf(hKey, &root) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    }
    return g_store->CloseKey(hKey);
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->QueryValueEx(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->SetValueEx(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->EnumKeyEx(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass,
                              lpftLastWriteTime);
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType,
                              lpData, lpcbData);
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->DeleteKey(hKey, lpSubKey);
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->DeleteValue(hKey, lpValueName);
}

LONG RegQueryValueA(HKEY hKey, LPCSTR lpSubKey, LPSTR lpData, PLONG lpcbData) {
    if (!g_store)
        return ERROR_FILE_NOT_FOUND;
    return g_store->QueryValue(hKey, lpSubKey, lpData, lpcbData);
}

#endif
