// The registry file's lock, reads and atomic writes (see store_file.h).
#ifndef _WIN32

#include "registry/store_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <thread>
#include <utility>

namespace registry {

namespace {

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

int64_t Nanoseconds(const struct timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

int64_t WallClockNs() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
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

StoreFile::Stamp StampOf(const struct stat& st) {
    return StoreFile::Stamp{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                            static_cast<int64_t>(st.st_size), Nanoseconds(st.st_mtim),
                            Nanoseconds(st.st_ctim)};
}

}  // namespace

StoreFile::StoreFile(std::string path)
    : path_(std::move(path)), timeGranularity_(kTimeGranularityNs) {}

StoreFile::~StoreFile() {
    Unlock();
}

// ---- Locking and reading ----

std::string StoreFile::Lock(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return path_ + ": cannot open the registry file: " + std::strerror(errno);
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                int e = errno;
                ::close(fd);
                return path_ + ": cannot lock the registry file: " + std::strerror(e);
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ::close(fd);
                return path_ + ": the registry file stays locked by another program";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        // Writers replace the file, so the lock only counts if it is on the current one.
        struct stat locked {};
        struct stat current {};
        if (::fstat(fd, &locked) == 0 && ::stat(path_.c_str(), &current) == 0 &&
            locked.st_dev == current.st_dev && locked.st_ino == current.st_ino) {
            lockFd_ = fd;
            return {};
        }
        ::close(fd);
    }
}

void StoreFile::Unlock() {
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // releases the flock
        lockFd_ = -1;
    }
}

std::string StoreFile::Examine() {
    struct stat st {};
    if (::fstat(lockFd_, &st) != 0)
        return path_ + ": cannot read the registry file: " + std::strerror(errno);
    if (!S_ISREG(st.st_mode))
        return path_ + ": not a regular file";
    examined_ = StampOf(st);
    fileMode_ = st.st_mode & 07777;
    timeGranularity_ = TimeGranularityOf(lockFd_);
    fileOwner_ = st.st_uid;
    fileGroup_ = st.st_gid;
    writable_ = (st.st_mode & 0222) != 0 && ::access(path_.c_str(), W_OK) == 0 &&
                ::access(DirectoryOf(path_).c_str(), W_OK | X_OK) == 0;
    return {};
}

bool StoreFile::KnownUnchanged() const {
    return stampTrusted_ && examined_ == lastStamp_;
}

int StoreFile::CheckUnchanged(bool* same) {
    const int64_t readStart = WallClockNs();
    LockedFileSource check(lockFd_, static_cast<size_t>(examined_.size));
    check.Drain();
    if (check.Error() != 0)
        return check.Error();
    *same = check.Print() == lastPrint_;
    if (*same)
        Remember(check.Print(), examined_, readStart);
    return 0;
}

int StoreFile::Read(const std::function<bool(RegTextSource*)>& read) {
    const int64_t readStart = WallClockNs();
    LockedFileSource source(lockFd_, static_cast<size_t>(examined_.size));
    const bool keep = read(&source);
    source.Drain();  // the fingerprint covers the whole file, also after an error
    if (source.Error() != 0)
        return source.Error();
    if (keep)
        Remember(source.Print(), examined_, readStart);
    return 0;
}

// The file's bytes, read whole.
std::string StoreFile::ReadWhole(size_t sizeHint, PageBuffer* content) {
    content->Clear();
    content->Reserve(sizeHint + 1);
    while (true) {
        const size_t done = content->size();
        content->Resize(done + 65536 > sizeHint + 1 ? done + 65536 : sizeHint + 1);
        ssize_t n = ::pread(lockFd_, content->data() + done, content->size() - done,
                            static_cast<off_t>(done));
        content->Resize(done + (n > 0 ? static_cast<size_t>(n) : 0));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return path_ + ": cannot read the registry file: " + std::strerror(errno);
        }
        if (n == 0)
            break;
    }
    return {};
}

// Keeps what identifies the file's current bytes; `readStart` is when their reading began.
void StoreFile::Remember(const Fingerprint& print, const Stamp& stamp, int64_t readStart) {
    lastPrint_ = print;
    lastStamp_ = stamp;
    stampTrusted_ = stamp.changedNs + timeGranularity_ < readStart &&
                    stamp.modifiedNs + timeGranularity_ < readStart;
}

// ---- Writing ----

// Puts the written temporary file in place of the registry file. A program that ignores the
// lock may have replaced or changed the file since it was last checked, while the new bytes
// were written and synced; overwriting it then would silently undo that program's change. So
// the two are exchanged in one step, and the file taken out is checked to be the locked one,
// unchanged; if it is not, it goes straight back and nothing is written. Where the file system
// cannot exchange, a plain rename has to do.
int StoreFile::Replace(const std::string& temporary, const std::string& target) {
    if (lockFd_ >= 0 &&
        ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        // The exchange itself changes the files' change times; an in-place write changes the
        // size or the modification time.
        struct stat out {};
        struct stat locked {};
        bool ours = ::stat(temporary.c_str(), &out) == 0 && ::fstat(lockFd_, &locked) == 0 &&
                    out.st_dev == locked.st_dev && out.st_ino == locked.st_ino &&
                    locked.st_size == checkedStamp_.size &&
                    Nanoseconds(locked.st_mtim) == checkedStamp_.modifiedNs;
        // File times move in clock ticks: a change within the tick of the last one leaves them
        // as they were, so a file changed that recently is compared by its bytes.
        if (ours && Nanoseconds(locked.st_mtim) + kTimeGranularityNs >= WallClockNs()) {
            LockedFileSource check(lockFd_, static_cast<size_t>(locked.st_size));
            check.Drain();
            ours = check.Error() == 0 && check.Print() == lastPrint_;
        }
        if (!ours) {
            ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE);
            replacedBehindTheLock_ = true;
            return EAGAIN;
        }
        return ::unlink(temporary.c_str()) == 0 ? 0 : errno;
    }
    if (lockFd_ >= 0 && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    return ::rename(temporary.c_str(), target.c_str()) != 0 ? errno : 0;
}

// Temporary file in the same folder, flushed, then renamed over the target.
int StoreFile::AtomicWrite(const std::string& target, std::string_view content, bool isBackup) {
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
    if (e == 0 && ::fchmod(fd, static_cast<mode_t>(fileMode_)) != 0)
        e = errno;
    // Only the superuser may hand the file back to its owner; for anyone else the owner is
    // already right.
    if (e == 0 && ::geteuid() == 0 &&
        ::fchown(fd, static_cast<uid_t>(fileOwner_), static_cast<gid_t>(fileGroup_)) != 0)
        e = errno;
    // The new file is locked before it is put in place: a program that opens it once it is the
    // registry file must wait until this write has checked the exchange and cleared its
    // temporary file, or it would take that file for a stale one and remove it.
    int lockHolder = -1;
    if (e == 0 && !isBackup && lockFd_ >= 0) {
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

// Temporary files of writes that never finished (the writer was killed or lost power). Every
// store writes its temporary files only while it holds the lock, so under the lock any that
// are left are stale.
void StoreFile::RemoveStaleTemporaryFiles() {
    const std::string dir = DirectoryOf(path_);
    const std::string base = BaseNameOf(path_);
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

bool StoreFile::ChangedBehindTheLock(bool needBytes, PageBuffer* previous) {
    replacedBehindTheLock_ = false;
    if (lockFd_ < 0)
        return false;
    RemoveStaleTemporaryFiles();
    struct stat current {};
    struct stat locked {};
    if (::fstat(lockFd_, &locked) == 0)
        checkedStamp_ = StampOf(locked);
    if (::stat(path_.c_str(), &current) != 0 || ::fstat(lockFd_, &locked) != 0 ||
        current.st_dev != locked.st_dev || current.st_ino != locked.st_ino)
        return true;
    if (!needBytes && stampTrusted_ && StampOf(locked) == lastStamp_)
        return false;
    if (!needBytes) {
        LockedFileSource check(lockFd_, static_cast<size_t>(locked.st_size));
        check.Drain();
        return check.Error() != 0 || !(check.Print() == lastPrint_);
    }
    return !ReadWhole(static_cast<size_t>(locked.st_size), previous).empty() ||
           !(FingerprintOf(previous->View()) == lastPrint_);
}

int StoreFile::WriteBackup(std::string_view bytes) {
    return AtomicWrite(path_ + ".bak", bytes, true);
}

int StoreFile::Write(std::string_view bytes) {
    return AtomicWrite(path_, bytes, false);
}

// The file's times are those of this very moment, so the next batch reads it once more before
// it trusts them.
void StoreFile::RememberWritten(std::string_view bytes) {
    const Fingerprint print = FingerprintOf(bytes);
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        Remember(print, StampOf(st), WallClockNs());
    } else {
        lastPrint_ = print;
        stampTrusted_ = false;
    }
}

}  // namespace registry

#endif
