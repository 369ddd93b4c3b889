#include "app/apply_journal.h"

#include <cstdlib>
#include <vector>

#include "framework/ui_service.h"
#include "registry/write_hook.h"
#include "resources/strings.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string Replace(std::string text, std::string_view marker, const std::string& with) {
    if (const std::size_t at = text.find(marker); at != std::string::npos)
        text.replace(at, marker.size(), with);
    return text;
}

// The tab label of the page whose journal name is `name`; the name itself when no page has it.
std::string PageLabel(const PageTable& pages, const std::string& name) {
    for (const PageEntry& entry : pages)
        if (registry::JournalPageName(entry.label) == name)
            return entry.label;
    return name;
}

}  // namespace

CApplyJournal::CApplyJournal(std::string folder) : journal_(std::move(folder)) {
    // The crash test of the real program: VLX_TEST_CUT_APPLY_AFTER=k ends the process, as a
    // power cut would, just before the (k+1)-th call that changes the registry in an "&Apply".
    if (const char* cut = std::getenv("VLX_TEST_CUT_APPLY_AFTER"); cut && *cut)
        cutAfter_ = std::strtoul(cut, nullptr, 10) + 1;
}

std::string CApplyJournal::BeforeSave(const common::AreaDescriptor& area,
                                      const registry::AreaCopy* asRead) {
    std::string why = res::strings::kNoJournalFolder;
    if (!journal_.Folder().empty()) {
        const std::vector<std::string_view> keys(area.keys.begin(), area.keys.end());
        why = journal_.Begin(
            area.name, keys,
            area.valuesOnly ? registry::JournalScope::Values : registry::JournalScope::Keys,
            asRead);
    }
    if (!why.empty())
        return Replace(res::strings::kSaveNotJournalled, "%why%", why);
#ifdef _WIN32
    if (cutAfter_ != 0)
        registry::SetRegistryWriteHook([cut = cutAfter_](unsigned long call) -> LONG {
            if (call >= cut)
                TerminateProcess(GetCurrentProcess(), 3);
            return ERROR_SUCCESS;
        });
#endif
    return {};
}

std::string CApplyJournal::AfterSave() {
    if (cutAfter_ != 0)
        registry::SetRegistryWriteHook({});
    const std::string why = journal_.Finish();
    return why.empty() ? why : Replace(res::strings::kBackupNotKept, "%why%", why);
}

void CApplyJournal::OfferRecovery(const PageTable& pages) {
    // Each answer moves its journal away, so this ends; the bound only guards against a folder
    // that lets nothing be moved.
    for (int round = 0; round < 100; ++round) {
        const std::optional<registry::JournalFile> pending = journal_.Pending();
        if (!pending)
            return;
        const std::string label = PageLabel(pages, pending->page);
        std::string question = Replace(res::strings::kCutOffApplyQuestion, "%page%", label);
        question = Replace(question, "%when%", pending->when);
        question = Replace(question, "%folder%", journal_.BackupFolder());
        std::string why;
        if (fw::ShowMessageBox(question, fw::MsgIcon::Exclamation, fw::MsgButtons::YesNo) ==
            fw::MsgAnswer::Yes)
            why = journal_.Restore(*pending);
        else
            why = journal_.KeepAsBackup(*pending);
        if (!why.empty()) {
            fw::ShowMessageBox(
                Replace(Replace(res::strings::kRecoveryFailed, "%page%", label), "%why%", why),
                fw::MsgIcon::Error, fw::MsgButtons::Ok);
            return;
        }
    }
}
