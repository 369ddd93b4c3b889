#include "dialogs/dlg_browse_dir.h"

#include "framework/data_exchange.h"
#include "framework/list_box.h"
#include "framework/ui_service.h"
#include "framework/virtual_keys.h"
#include "framework/wait_cursor.h"
#include "platform/file_system.h"
#include "platform/windows_path.h"
#include "resources/templates/template_138.h"

namespace {

using namespace res::t138;

constexpr const char* kDriveRoot = "C:\\";
constexpr const char* kDriveNotAccessible = "Selected drive cannot be accessed:\n               ";

// Cuts `text` before its last backslash; text without one stays as it is.
void CutAtLastBackslash(std::string& text) {
    const size_t pos = text.rfind('\\');
    if (pos != std::string::npos) {
        text.erase(pos);
    }
}

// "C:\" + "\" + "x.dat" gives "C:\\x.dat" at a drive root; the path shown has single ones.
void CollapseDoubledBackslashes(std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            ++i;
        }
    }
    text = std::move(result);
}

// The folder name of a "[name]" row.
std::string BracketedName(const std::string& text) {
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

}  // namespace

CDlgBrowseDir::CDlgBrowseDir() : fw::Dialog(kTemplate) {}

const fw::MessageTableBase& CDlgBrowseDir::GetClassMessageTable() {
    static const auto table =
        fw::MessageTable<CDlgBrowseDir>(&fw::Dialog::GetClassMessageTable())
            .On(kDrives, fw::Notify::SelChange, &CDlgBrowseDir::SelectDrive)
            .On(kDirectories, fw::Notify::SelChange, &CDlgBrowseDir::SelectDirectoryEntry)
            .On(kDirectories, fw::Notify::DoubleClicked, &CDlgBrowseDir::OpenDirectoryEntry);
    return table;
}

bool CDlgBrowseDir::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    drivesList_ = &Item<fw::ListBox>(kDrives);
    directoriesList_ = &Item<fw::ListBox>(kDirectories);
    drivesList_->ResetContent();
    directoriesList_->ResetContent();
    for (const std::string& root : platform::DriveRoots()) {
        drivesList_->AddString(root);
    }
    const int driveC = drivesList_->FindStringExact(-1, kDriveRoot);
    drivesList_->SetCurSel(driveC >= 0 ? driveC : 1);
    SelectDrive();
    return true;
}

void CDlgBrowseDir::ExchangeData(fw::DataExchange& exchange) {
    exchange.Text(kPath, path);
}

bool CDlgBrowseDir::PreTranslateKey(const fw::KeyMessage& message) {
    if (message.controlId == kDirectories && message.virtualKey == fw::kVkReturn) {
        if (message.action == fw::KeyAction::Press) {
            OpenDirectoryEntry();
        }
        return true;
    }
    return fw::Dialog::PreTranslateKey(message);
}

void CDlgBrowseDir::SelectDrive() {
    const int row = drivesList_->GetCurSel();
    if (row < 0) {
        return;
    }
    fw::WaitCursor wait;
    selectedDrive_ = drivesList_->GetText(row);
    path = selectedDrive_;
    // Cleared before the list is filled: filling may select a file at once, and that file must
    // count as appended, or the next file would be added after it.
    fileAppended_ = false;
    if (platform::ChangeCurrentDirectory(selectedDrive_)) {
        FillDirectoryList();
        return;
    }
    directoriesList_->ResetContent();
    wait.Restore();
    fw::ShowMessageBox(kDriveNotAccessible + selectedDrive_, fw::MsgIcon::Error);
}

void CDlgBrowseDir::FillDirectoryList() {
    fw::WaitCursor wait;
    fileAppended_ = false;
    directoriesList_->ResetContent();
    // Where the current directory cannot be told (removed under us), `path` keeps the folder last
    // shown, as the system itself would report it.
    const std::string current = platform::CurrentDirectory();
    if (!current.empty()) {
        path = current;
    }
    const auto entries = current.empty() ? std::nullopt : platform::ListDirectory(current);
    if (entries) {
        directoriesList_->setUpdatesEnabled(false);
        for (const platform::DirectoryEntry& entry : *entries) {
            if (!entry.isDirectory || entry.name == ".") {
                continue;
            }
            const int row = directoriesList_->AddString("[" + entry.name + "]");
            directoriesList_->SetItemData(row, kDirectoryEntry);
        }
        if (!directoriesOnly) {
            for (const platform::DirectoryEntry& entry : *entries) {
                if (!entry.isDirectory) {
                    const int row = directoriesList_->AddString(entry.name);
                    directoriesList_->SetItemData(row, kFileEntry);
                }
            }
        }
        directoriesList_->setUpdatesEnabled(true);
    }
    directoriesList_->SetCurSel(0);
    SelectDirectoryEntry();
}

void CDlgBrowseDir::SelectDirectoryEntry() {
    UpdateData(false);
    if (directoriesOnly) {
        return;
    }
    const int row = directoriesList_->GetCurSel();
    if (row < 0 || directoriesList_->GetItemData(row) != kFileEntry) {
        return;
    }
    AppendFileName(directoriesList_->GetText(row));
    UpdateData(false);
}

void CDlgBrowseDir::OpenDirectoryEntry() {
    const int row = directoriesList_->GetCurSel();
    if (row < 0) {
        return;
    }
    const fw::ItemData kind = directoriesList_->GetItemData(row);
    if (kind == kDirectoryEntry) {
        const std::string name = BracketedName(directoriesList_->GetText(row));
        if (fileAppended_) {
            CutAtLastBackslash(path);
        }
        std::string directory = path;
        if (!platform::SameName(name, "..")) {
            directory += "\\" + name;  // doubled at a drive root, which the system reads as one
        } else {
            CutAtLastBackslash(directory);
        }
        if (directory.size() == 2) {
            directory += "\\";  // "C:" alone would mean the drive's current directory
        }
        platform::ChangeCurrentDirectory(directory);  // on failure the list shows where we are
        FillDirectoryList();
    } else if (kind == kFileEntry) {
        AppendFileName(directoriesList_->GetText(row));
        UpdateData(false);
        OnDefaultAction();
    }
}

void CDlgBrowseDir::AppendFileName(const std::string& name) {
    if (fileAppended_) {
        CutAtLastBackslash(path);
    }
    path += "\\" + name;
    fileAppended_ = true;
    CollapseDoubledBackslashes(path);
}
