#pragma once
// A journal around a page's save on a registry that has no transactions: before the save
// changes anything, the areas it may change are written, as they stand, to a journal file on
// disk and flushed; after the save the journal becomes a backup. A journal still there at the
// next start means a save was cut off (the program killed, the machine switched off), and the
// areas can be put back from it.
//
// Files (in `folder`, on Windows the user's local application data folder + "VlxConfigurator"):
//   journal\<when> <page>.reg   a save under way, or one that was cut off
//   backups\<when> <page>.reg   what a finished save replaced; the newest `keep` per page stay
// Each is a .reg file of version 5.00 (UTF-16) that deletes every area first and then writes it
// as it was, so the registry editor's import ("regedit /s") gives the areas back exactly. An
// area of values only (JournalScope::Values) is not deleted: its keys' values are written as
// they were, and a backup also deletes the values the save added, so its subkeys, which belong
// to others, stay as they are.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace registry {

class AreaCopy;

struct JournalFile {
    std::string page;  // the page's name as the file name holds it (see JournalPageName)
    std::string when;  // local time of the save's start, "2026-12-09 08:15:30"
    std::string path;  // the file
};

// `page` as it can stand in a file name: characters a Windows file name cannot hold become '-'.
std::string JournalPageName(std::string_view page);

// A test's stand-in for a disk that fails the journal's writes (full, or turned read-only): each
// journal file asks `fault` once half of it is written; a code other than 0 (an errno value, on
// Windows a system error code) fails that write with it, as the system would. An empty function
// removes it.
void SetJournalWriteFault(std::function<int()> fault);

// What of its keys a save may change: everything below them, or only their own values.
enum class JournalScope { Keys, Values };

class AreaJournal {
  public:
    static constexpr std::size_t kKeepPerPage = 50;

    explicit AreaJournal(std::string folder, std::size_t keep = kKeepPerPage);

    // Writes the areas `areaPaths` (under HKEY_LOCAL_MACHINE) as they stand to a new journal of
    // `page` and flushes it to disk. "" when the save may go on; otherwise why not (the folder
    // cannot be made or written, the disk is full, an entry of the areas cannot be read), and
    // nothing was changed. `asRead`, when given and current, is written instead of a read of
    // the areas it holds (a page's load read them whole, see AreaCopy).
    std::string Begin(std::string_view page, const std::vector<std::string_view>& areaPaths,
                      JournalScope scope = JournalScope::Keys, const AreaCopy* asRead = nullptr);
    // After the save: the journal of the last Begin becomes a backup, and the page's oldest
    // backups beyond `keep` go. "" or why the backup could not be kept (the journal is then
    // removed all the same, since the save it guarded is complete).
    std::string Finish();

    // The oldest journal left by a save that did not finish, if any. Cheap: one folder listing.
    std::optional<JournalFile> Pending() const;
    // Puts the areas back as the journal holds them (each area deleted and written anew), then
    // keeps the journal as a backup. The journal stays a journal until every line is back, so
    // a restore that is itself cut off is offered again. "" or what failed.
    std::string Restore(const JournalFile& journal);
    // Leaves the areas as they are and keeps the journal as a backup.
    std::string KeepAsBackup(const JournalFile& journal);

    // The backups of `page`, oldest first.
    std::vector<JournalFile> Backups(std::string_view page) const;

    const std::string& Folder() const { return folder_; }
    std::string JournalFolder() const;
    std::string BackupFolder() const;

  private:
    // Moves the journal `path` to the backups, with the deletion lines its values-only keys
    // need (see CompleteValueBlocks) when `complete`.
    std::string MoveToBackups(const std::string& path, bool complete);
    void Prune(std::string_view page);

    std::string folder_;
    std::size_t keep_;
    std::string current_;  // the journal of the last Begin, until Finish
    JournalScope currentScope_ = JournalScope::Keys;
};

}  // namespace registry
