#include "registry/area_journal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <thread>
#include <utility>

#include "registry/area_export.h"
#include "registry/reg_import.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace registry {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".reg";
constexpr std::string_view kPartial = ".partial";
// "2026-12-09 08.15.30.123": sorts as the time does, and a file name may hold it.
constexpr std::size_t kStampLength = 23;

std::function<int()>& WriteFault() {
    static std::function<int()> fault;
    return fault;
}

// The test's fault for a file half written (see SetJournalWriteFault), else 0.
int HalfWrittenFault() {
    return WriteFault() ? WriteFault()() : 0;
}

#ifdef _WIN32
std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == '.' || message.back() == ' '))
        message.pop_back();
    return message;
}

// Writes `bytes` to a new file `path` and flushes it to the disk; "" or the reason.
std::string WriteDurably(const std::string& path, const std::string& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SystemMessage(GetLastError());
    std::size_t done = 0;
    DWORD error = 0;
    bool asked = false;
    while (done < bytes.size() && error == 0) {
        DWORD written = 0;
        const std::size_t limit = asked ? bytes.size() : std::max<std::size_t>(bytes.size() / 2, 1);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(limit - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        done += written;
        if (!asked && error == 0 && done >= limit) {
            asked = true;
            error = static_cast<DWORD>(HalfWrittenFault());
        }
    }
    if (error == 0 && !FlushFileBuffers(file))
        error = GetLastError();
    CloseHandle(file);
    if (error != 0) {
        DeleteFileA(path.c_str());
        return SystemMessage(error);
    }
    return {};
}

// Renames `from` to `to` (no file of that name exists) with the change on the disk when it
// returns.
std::string MoveDurably(const std::string& from, const std::string& to) {
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        return SystemMessage(GetLastError());
    return {};
}
#else
std::string WriteDurably(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return std::strerror(errno);
    int error = 0;
    std::size_t done = 0;
    bool asked = false;
    while (done < bytes.size() && error == 0) {
        const std::size_t limit = asked ? bytes.size() : std::max<std::size_t>(bytes.size() / 2, 1);
        const ssize_t written = ::write(fd, bytes.data() + done, limit - done);
        if (written < 0 && errno != EINTR)
            error = errno;
        else if (written > 0)
            done += static_cast<std::size_t>(written);
        if (!asked && error == 0 && done >= limit) {
            asked = true;
            error = HalfWrittenFault();
        }
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    ::close(fd);
    if (error != 0) {
        ::unlink(path.c_str());
        return std::strerror(error);
    }
    return {};
}

std::string MoveDurably(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        return std::strerror(errno);
    const std::string folder = fs::path(to).parent_path().string();
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}
#endif

// The whole file `path` into `bytes`; "" or the reason. The file is closed when this returns:
// Windows cannot rename a file that is open.
std::string ReadWhole(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::strerror(errno);
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        return std::strerror(errno);
    return {};
}

// The file `path` made `bytes` in one step: written beside it, flushed, and moved over it.
std::string ReplaceDurably(const std::string& path, const std::string& bytes) {
    const std::string partial = path + std::string(kPartial);
    if (std::string why = WriteDurably(partial, bytes); !why.empty())
        return why;
#ifdef _WIN32
    if (!MoveFileExA(partial.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const std::string why = SystemMessage(GetLastError());
        DeleteFileA(partial.c_str());
        return why;
    }
    return {};
#else
    // rename replaces `path` in one step.
    std::string why = MoveDurably(partial, path);
    if (!why.empty())
        ::unlink(partial.c_str());
    return why;
#endif
}

std::string Stamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d.%02d.%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

// The journal or backup a file name stands for; none for any other file.
std::optional<JournalFile> Parse(const fs::path& path) {
    const std::string name = path.filename().string();
    if (name.size() <= kStampLength + 1 + kExtension.size() || name[kStampLength] != ' ' ||
        name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0)
        return std::nullopt;
    std::string when = name.substr(0, kStampLength - 4);  // without the milliseconds
    when[13] = ':';
    when[16] = ':';
    return JournalFile{
        name.substr(kStampLength + 1, name.size() - kStampLength - 1 - kExtension.size()), when,
        path.string()};
}

std::vector<JournalFile> List(const std::string& folder) {
    std::vector<JournalFile> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (auto file = Parse(it->path()))
            files.push_back(std::move(*file));
    std::sort(files.begin(), files.end(), [](const JournalFile& a, const JournalFile& b) {
        return fs::path(a.path).filename() < fs::path(b.path).filename();
    });
    return files;
}

std::string Reason(const std::string& what, const std::string& path, const std::string& why) {
    return what + " " + path + ": " + why;
}

}  // namespace

void SetJournalWriteFault(std::function<int()> fault) {
    WriteFault() = std::move(fault);
}

std::string JournalPageName(std::string_view page) {
    std::string name(page);
    for (char& c : name)
        if (std::strchr("\\/:*?\"<>|", c) != nullptr || static_cast<unsigned char>(c) < 32)
            c = '-';
    return name;
}

AreaJournal::AreaJournal(std::string folder, std::size_t keep)
    : folder_(std::move(folder)), keep_(keep) {}

std::string AreaJournal::JournalFolder() const {
    return (fs::path(folder_) / "journal").string();
}

std::string AreaJournal::BackupFolder() const {
    return (fs::path(folder_) / "backups").string();
}

std::string AreaJournal::Begin(std::string_view page,
                               const std::vector<std::string_view>& areaPaths, JournalScope scope,
                               const AreaCopy* asRead) {
    current_.clear();
    currentScope_ = scope;
    ForgetAreas();
    for (const std::string& folder : {JournalFolder(), BackupFolder()}) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error)
            return Reason("Cannot create the folder", folder, error.message());
    }
    // What a cut-off Begin left half written is no journal: no save followed it.
    std::error_code listError;
    for (fs::directory_iterator it(JournalFolder(), listError), end; !listError && it != end;
         it.increment(listError))
        if (it->path().extension() == kPartial) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }

    std::string bytes;
    const RegFileFormat format{true, true};
    std::vector<KnownArea> read;
    if (const LONG r =
            scope == JournalScope::Values
                ? ExportKeyValuesForImport(areaPaths, format, &bytes)
                : ExportAreasForImport(areaPaths, format, &bytes, AreaExportMissing::Delete, &read,
                                       asRead && asRead->Current() ? asRead : nullptr))
        return "An entry of the area cannot be read (error " + std::to_string(r) + ").";

    // Two saves within one millisecond (tests make them) wait for the next one.
    const std::string pageName = JournalPageName(page);
    fs::path target;
    for (int attempt = 0;; ++attempt) {
        const std::string name = Stamp() + " " + pageName + std::string(kExtension);
        target = fs::path(JournalFolder()) / name;
        std::error_code error;
        if (!fs::exists(target, error) && !fs::exists(fs::path(BackupFolder()) / name, error))
            break;
        if (attempt == 100)
            return Reason("Cannot write the journal", target.string(), "the name is taken");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::string partial = target.string() + std::string(kPartial);
    if (std::string why = WriteDurably(partial, bytes); !why.empty())
        return Reason("Cannot write the journal", partial, why);
    if (std::string why = MoveDurably(partial, target.string()); !why.empty()) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        return Reason("Cannot write the journal", target.string(), why);
    }
    current_ = target.string();
    // The save's deletes need a copy of what they delete; this one was read just now.
    KnowAreas(std::move(read));
    return {};
}

std::string AreaJournal::Finish() {
    if (current_.empty())
        return {};
    const std::string journal = std::move(current_);
    current_.clear();
    ForgetAreas();
    const std::string why = MoveToBackups(journal, currentScope_ == JournalScope::Values);
    if (!why.empty()) {
        std::error_code ignored;
        fs::remove(journal, ignored);
    }
    return why;
}

std::optional<JournalFile> AreaJournal::Pending() const {
    std::vector<JournalFile> files = List(JournalFolder());
    if (files.empty())
        return std::nullopt;
    return files.front();
}

std::string AreaJournal::Restore(const JournalFile& journal) {
    std::string bytes;
    if (std::string why = ReadWhole(journal.path, &bytes); !why.empty())
        return Reason("Cannot read the journal", journal.path, why);
    // The values a cut-off save added to a values-only key go too; the backup keeps those
    // deletion lines.
    std::string completed = bytes;
    if (const LONG r = CompleteValueBlocks(&completed, journal.path))
        return Reason("Cannot read the area of the journal", journal.path,
                      "error " + std::to_string(r));
    if (std::string why = ImportRegText(completed, journal.path); !why.empty())
        return why;
    if (completed != bytes)
        if (std::string why = ReplaceDurably(journal.path, completed); !why.empty())
            return Reason("Cannot keep the backup", journal.path, why);
    return MoveToBackups(journal.path, false);
}

std::string AreaJournal::KeepAsBackup(const JournalFile& journal) {
    return MoveToBackups(journal.path, true);
}

std::vector<JournalFile> AreaJournal::Backups(std::string_view page) const {
    std::vector<JournalFile> files = List(BackupFolder());
    const std::string pageName = JournalPageName(page);
    std::erase_if(files, [&](const JournalFile& file) { return file.page != pageName; });
    return files;
}

std::string AreaJournal::MoveToBackups(const std::string& path, bool complete) {
    if (complete) {
        std::string bytes;
        if (std::string why = ReadWhole(path, &bytes); !why.empty())
            return Reason("Cannot keep the backup", path, why);
        std::string completed = bytes;
        if (const LONG r = CompleteValueBlocks(&completed, path))
            return Reason("Cannot keep the backup", path,
                          "the area cannot be read (error " + std::to_string(r) + ")");
        if (completed != bytes)
            if (std::string why = ReplaceDurably(path, completed); !why.empty())
                return Reason("Cannot keep the backup", path, why);
    }
    const fs::path from(path);
    const std::string to = (fs::path(BackupFolder()) / from.filename()).string();
    std::error_code error;
    fs::create_directories(BackupFolder(), error);
    if (std::string why = MoveDurably(path, to); !why.empty())
        return Reason("Cannot keep the backup", to, why);
    if (auto file = Parse(from))
        Prune(file->page);
    return {};
}

void AreaJournal::Prune(std::string_view page) {
    std::vector<JournalFile> backups = Backups(page);
    for (std::size_t i = 0; i + keep_ < backups.size(); ++i) {
        std::error_code ignored;
        fs::remove(backups[i].path, ignored);
    }
}

}  // namespace registry
