// The program killed in the middle of an "&Apply" on Windows, and started again. A child process
// runs the program's application object on the system registry; the journal's crash hook
// (VLX_TEST_CUT_APPLY_AFTER=k) ends that whole process, as a power cut would, just before the
// (k+1)-th registry change of the save. Started again, the program names the page, "Yes" is
// answered, and the area must be exactly the old one; the save that is not killed changes it and
// keeps one backup (JournalledApply.* checks it is exactly the new one). 20 kill points spread over
// the save of every page on the sample configuration; VLX_KILL_TEST_REG names another configuration
// to run the same on (a larger one, by hand).

#include <gtest/gtest.h>
#include <windows.h>

#include <QAbstractButton>
#include <QApplication>
#include <QtGlobal>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/page_table.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "framework/control.h"
#include "platform/app_data.h"
#include "registry/area_export.h"
#include "registry/area_journal.h"
#include "registry/reg_import.h"
#include "registry/write_hook.h"
#include "tests/support/area_edit.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPoints = 20;
constexpr DWORD kKilled = 3;            // the exit code the crash hook ends the process with
constexpr char kEndOfMessage = '\x1e';  // message boxes hold line breaks

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return out.good();
}

// The child: the program on the system registry, with its message boxes answered ("Yes" to the
// question of a cut-off "&Apply", OK to any other) and recorded. `mode` "apply": once the main
// window shows, `oldAreaFile` is imported behind the pages' back (so the save overwrites another
// state than the one the page loaded) and page `page` is applied. "start": the window is closed
// as soon as it shows. The result file gets the save's count of registry changes on its first
// line, then the texts of the message boxes.
int RunChild(const std::string& mode, int page, const std::string& oldAreaFile,
             const std::string& resultFile) {
    uikit::UiRecorder ui;
    fw::SetUiService(&ui);
    if (mode == "start")
        ui.Answer(fw::MsgAnswer::Yes);
    ui.SetDefaultAnswer(fw::MsgAnswer::Ok);
    unsigned long changes = 0;
    ui.OnModal([&](fw::Dialog& running) {
        auto& main = static_cast<CVlxConfiguratorDlg&>(running);
        main.show();
        QCoreApplication::processEvents();
        if (mode == "apply") {
            registry::ImportRegText(ReadFile(oldAreaFile), oldAreaFile);
            // The crash hook, when asked for, takes this one's place for the save.
            registry::SetRegistryWriteHook([&changes](unsigned long call) -> LONG {
                changes = call;
                return ERROR_SUCCESS;
            });
            CBasicDialogTab* tab = main.Page(page);
            fw::Control* control = tab ? tab->FindControl(CBasicDialogTab::kApplyId) : nullptr;
            if (auto* apply = control ? dynamic_cast<QAbstractButton*>(control->Widget()) : nullptr)
                apply->click();
            registry::SetRegistryWriteHook({});
        }
        if (!main.HasEnded())
            main.RequestClose();
    });
    CVlxConfiguratorApp program;
    const int code = program.Run({});
    fw::SetUiService(nullptr);
    std::string result = std::to_string(changes) + "\n";
    for (const uikit::ShownMessage& message : ui.Messages())
        result += message.text + kEndOfMessage;
    return WriteFile(resultFile, result) ? code : 1;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n--\n";
    return text;
}

struct ChildRun {
    DWORD exitCode = 0;
    unsigned long changes = 0;
    std::vector<std::string> messages;
};

class KilledApply : public ::testing::TestWithParam<int> {
  protected:
    KilledApply()
        : scratch_(fs::temp_directory_path() /
                   ("vlx-kill-" + std::to_string(GetCurrentProcessId()))),
          before_(ProgramFiles()) {
        std::error_code ignored;
        fs::remove_all(scratch_, ignored);  // a process number is used again
        fs::create_directories(scratch_);
    }
    // The journals and backups the children made go; those of the user's own work stay.
    ~KilledApply() override {
        std::error_code ignored;
        for (const std::string& file : ProgramFiles())
            if (!before_.contains(file))
                fs::remove(file, ignored);
        fs::remove_all(scratch_, ignored);
    }

    // The program's journals and backups (in the user's local application data, as the
    // children keep them).
    static std::set<std::string> ProgramFiles() {
        std::set<std::string> files;
        const registry::AreaJournal journal(platform::ProgramDataFolder());
        for (const std::string& folder : {journal.JournalFolder(), journal.BackupFolder()}) {
            std::error_code ignored;
            for (const auto& file : fs::directory_iterator(folder, ignored))
                files.insert(file.path().string());
        }
        return files;
    }
    std::size_t NewBackups(const std::string& page) const {
        std::size_t made = 0;
        for (const registry::JournalFile& backup : Journal().Backups(page))
            made += before_.contains(backup.path) ? 0 : 1;
        return made;
    }

    // This test program again as the child, with VLX_TEST_CUT_APPLY_AFTER=`cutAfter` ("" for
    // none); waits for it to end.
    ChildRun Child(const std::string& mode, const std::string& cutAfter = {}) {
        const std::string result = (scratch_ / "result.txt").string();
        std::error_code ignored;
        fs::remove(result, ignored);
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string line = "\"" + std::string(self) + "\" --child " + mode + " " +
                           std::to_string(GetParam()) + " \"" + OldAreaFile() + "\" \"" + result +
                           "\"";
        SetEnvironmentVariableA("VLX_TEST_CUT_APPLY_AFTER",
                                cutAfter.empty() ? nullptr : cutAfter.c_str());
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0,
                                            nullptr, nullptr, &startup, &process);
        SetEnvironmentVariableA("VLX_TEST_CUT_APPLY_AFTER", nullptr);
        ChildRun run;
        run.exitCode = ~DWORD{0};
        if (!started) {
            ADD_FAILURE() << "cannot start " << line << ": error " << GetLastError();
            return run;
        }
        if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 1);
            ADD_FAILURE() << "the program did not end within 120 s: " << line;
        }
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        std::istringstream lines(ReadFile(result));
        std::string text;
        if (std::getline(lines, text))
            run.changes = std::stoul(text);
        while (std::getline(lines, text, kEndOfMessage))
            run.messages.push_back(text);
        return run;
    }

    std::string OldAreaFile() const { return (scratch_ / "old-area.reg").string(); }
    static registry::AreaJournal Journal() {
        return registry::AreaJournal(platform::ProgramDataFolder());
    }

    fs::path scratch_;
    std::set<std::string> before_;
};

// The page's areas as a file that gives them back exactly when imported.
std::string Areas(const std::vector<std::string_view>& keys) {
    std::string bytes;
    EXPECT_EQ(registry::ExportAreasForImport(keys, registry::RegFileFormat{true, true}, &bytes,
                                             registry::AreaExportMissing::Delete),
              ERROR_SUCCESS);
    return bytes;
}

TEST_P(KilledApply, TheProgramKilledDuringAnApplyPutsTheAreaBackWhenStartedAgain) {
    const std::string configuration = qEnvironmentVariableIsSet("VLX_KILL_TEST_REG")
                                          ? qEnvironmentVariable("VLX_KILL_TEST_REG").toStdString()
                                          : std::string(VLX_SAMPLE_FILE);
    const PageEntry& entry = DefaultPageTable().at(static_cast<std::size_t>(GetParam()));
    SCOPED_TRACE(entry.label);
    const std::vector<std::string_view> keys(entry.area->keys.begin(), entry.area->keys.end());
    ASSERT_FALSE(Journal().Pending().has_value())
        << "a journal of a cut-off \"&Apply\" waits in " << Journal().JournalFolder();
    testsupport::TempRegistry registry(ReadFile(configuration));
    const std::string old = Areas(keys);
    ASSERT_TRUE(WriteFile(OldAreaFile(), old));
    ASSERT_TRUE(testsupport::ChangeEveryValue({keys.begin(), keys.end()}));
    const std::string changed = Areas(keys);
    ASSERT_NE(changed, old);

    // Once to its end: a new area, one backup, and how many changes the save makes.
    const ChildRun whole = Child("apply");
    ASSERT_EQ(whole.exitCode, 0u);
    EXPECT_TRUE(whole.messages.empty()) << whole.messages.front();
    ASSERT_GT(whole.changes, 0u);
    EXPECT_NE(Areas(keys), old);
    EXPECT_FALSE(Journal().Pending().has_value());
    EXPECT_EQ(NewBackups(entry.label), 1u);

    std::set<unsigned long> points;
    for (unsigned long i = 0; i < kPoints; ++i)
        points.insert(i * whole.changes / kPoints);
    for (const unsigned long cut : points) {
        SCOPED_TRACE("killed after change " + std::to_string(cut) + " of " +
                     std::to_string(whole.changes));
        ASSERT_EQ(registry::ImportRegText(changed, "changed area"), "");
        const ChildRun killed = Child("apply", std::to_string(cut));
        ASSERT_EQ(killed.exitCode, kKilled) << "the save was not cut off";
        const std::optional<registry::JournalFile> pending = Journal().Pending();
        ASSERT_TRUE(pending.has_value());
        EXPECT_EQ(pending->page, registry::JournalPageName(entry.label));

        const ChildRun again = Child("start");
        ASSERT_EQ(again.exitCode, 0u);
        ASSERT_EQ(again.messages.size(), 1u) << "the question of the cut-off \"&Apply\" only:\n"
                                             << Joined(again.messages);
        EXPECT_NE(again.messages[0].find("\"" + entry.label + "\""), std::string::npos)
            << again.messages[0];
        ASSERT_EQ(Areas(keys), old);
        EXPECT_FALSE(Journal().Pending().has_value());
    }
    RecordProperty("kill_points", static_cast<int>(points.size()));
    std::printf("%s: %zu kill points over %lu changes\n", entry.label.c_str(), points.size(),
                whole.changes);
}

INSTANTIATE_TEST_SUITE_P(EveryPage, KilledApply,
                         ::testing::Range(0, static_cast<int>(DefaultPageTable().size())));

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR") && qEnvironmentVariableIsSet("SystemRoot"))
        qputenv("QT_QPA_FONTDIR", (qEnvironmentVariable("SystemRoot") + "\\Fonts").toLocal8Bit());
    QApplication application(argc, argv);
    if (argc == 6 && std::string(argv[1]) == "--child")
        return RunChild(argv[2], std::atoi(argv[3]), argv[4], argv[5]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
