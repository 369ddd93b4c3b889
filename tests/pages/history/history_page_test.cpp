// The History page driven through its controls, against a temporary registry.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/dlg_browse_dir.h"
#include "framework/framework.h"
#include "pages/history/history_registry.h"
#include "pages/history/tab_dlg_history.h"
#include "platform/beep.h"
#include "platform/file_system.h"
#include "resources/templates/template_138.h"
#include "resources/templates/template_139.h"
#include "tests/support/page_harness.h"
#include "tests/support/picker_answers.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t139;
using Rows = std::vector<std::string>;

const std::string kArchive = history::kArchiveKeyPath;
const std::string kHeader = "[HKEY_LOCAL_MACHINE\\" + kArchive;

// The sample configuration's Archive key, with a value nobody here knows and the archive
// configurations' subkeys beside it.
const std::string kSeed = kHeader + "]\n" +
                          "\"CompareDate\"=dword:00000001\n"
                          "\"CompareSize\"=dword:00000001\n"
                          "\"CompareChecksum\"=dword:00000000\n"
                          "\"CompareVersion\"=dword:00000001\n"
                          "\"CompareSerialNo\"=dword:00000000\n"
                          "\"CheckBack\"=dword:00000001\n"
                          "\"DeleteR1\"=dword:00000000\n"
                          "\"EnableDiskCounting\"=dword:00000001\n"
                          "\"Foreign\"=hex:01,02\n"
                          "\"History\"=dword:00000001\n"
                          "\"HistoryWhenRestore\"=dword:00000001\n"
                          "\"IniOnOffSwitch\"=dword:00000001\n"
                          "\"MaxHistoryCount\"=dword:0000000a\n"
                          "\"HistoryPath\"=\"D:\\\\History\"\n" +
                          kHeader + "\\Config\\All\\FileSource]\n\"0\"=\"vlx:\\\\r1\"\n" + kHeader +
                          "\\Path]\n\"Default\"=\"D:\\\\Archive\"\n";

// Records the beeps instead of sounding them.
class BeepRecorder {
  public:
    BeepRecorder()
        : previous_(platform::SetBeepHandler([this](unsigned hz, unsigned ms) {
              beeps.push_back(std::to_string(hz) + "Hz/" + std::to_string(ms) + "ms");
          })) {}
    ~BeepRecorder() { platform::SetBeepHandler(std::move(previous_)); }
    std::vector<std::string> beeps;

  private:
    platform::BeepHandler previous_;
};

class HistoryPageTest : public ::testing::Test {
  protected:
    void Open(const std::string& regText) {
        page_ = nullptr;
        harness_.reset();
        harness_ = std::make_unique<testsupport::PageHarness>(regText);
        page_ = &harness_->CreatePage<CTabDlgHistory>(kTemplate);
    }
    CTabDlgHistory& Page() { return *page_; }
    uikit::UiRecorder& Ui() { return harness_->Ui(); }
    std::string Export() { return harness_->Export(kArchive); }
    void Apply() { harness_->Apply(); }
    void Click(int id) { uikit::Click(*page_, id); }

    // Each switch as the user sees it, in the page's order (feedback, info file, disk counting,
    // delete, save before restore, history): 1 or 0, upper case X / O when disabled. Then the
    // criteria's marks the same way.
    std::string State() {
        std::string out;
        for (int id : {kEnableFeedback, kGenerateInfoFile, kEnableDiskCounting,
                       kDeleteRobotDirectory, kSaveHistoryBeforeRestore, kHistory}) {
            const auto& box = page_->Item<fw::CheckBox>(id);
            out += box.isEnabled() ? (box.GetCheck() ? '1' : '0') : (box.GetCheck() ? 'X' : 'O');
        }
        out += ' ';
        const auto& list = page_->Item<fw::CheckListBox>(kCriteria);
        for (bool checked : uikit::Checks(*page_, kCriteria)) {
            out += list.isEnabled() ? (checked ? '1' : '0') : (checked ? 'X' : 'O');
        }
        return out;
    }

    std::unique_ptr<testsupport::PageHarness> harness_;
    CTabDlgHistory* page_ = nullptr;  // owned by the harness
};

// The widget of a control without an id: the label or frame with that caption.
QWidget* Captioned(QWidget& page, const std::string& caption) {
    const QString text = fw::ToQt(caption);
    for (QLabel* label : page.findChildren<QLabel*>()) {
        if (label->text() == text) {
            return label;
        }
    }
    for (QGroupBox* group : page.findChildren<QGroupBox*>()) {
        if (group->title() == text) {
            return group;
        }
    }
    return nullptr;
}

TEST_F(HistoryPageTest, EveryControlSitsAtItsPlaceWithItsCaptionAndNothingIsClipped) {
    Open(kSeed);
    const std::string note =
        "There are some dependencies between the values of different variables. The program is "
        "automatically setting the dependent ones, when the user selects or deselects some "
        "conditions.";
    const struct {
        int id;  // fw::kNoId: found by its caption
        const char* caption;
        int x, y, cx, cy;  // dialog units; a size of 0 is the control's natural size
        bool frame;        // a group box, which encloses others
    } controls[] = {
        {kCriteriaGroup, "Comparison criteria ", 6, 5, 176, 123, true},
        {kCriteria, "", 12, 17, 163, 94, false},
        {fw::kNoId, "Check to compare by, when archiving and restore", 12, 115, 0, 0, false},
        {fw::kNoId, "History path ", 6, 134, 175, 50, true},
        {kHistoryPath, "", 12, 145, 163, 12, false},
        {kBrowse, "Browse for it", 76, 161, 99, 16, false},
        {fw::kNoId, "Max no. of history traces ", 6, 193, 175, 30, true},
        {kMaxHistoryCount, "", 12, 204, 163, 12, false},
        {kEnableFeedback, "Enable feedback", 197, 21, 0, 0, false},
        {kGenerateInfoFile, "Generate info file when archiving", 197, 39, 0, 0, false},
        {kEnableDiskCounting, "Enable disk counting when archiving", 197, 57, 0, 0, false},
        {kDeleteRobotDirectory, "Delete robot directory before restoring", 197, 75, 0, 0, false},
        {kSaveHistoryBeforeRestore, "Save history before restoring", 197, 93, 0, 0, false},
        {kHistory, "History", 197, 111, 0, 0, false},
        {fw::kNoId, note.c_str(), 216, 134, 174, 43, false},
        {kApply, "&Apply", 324, 205, 88, 16, false},
        {kRestore, "&Restore from Registry", 233, 205, 88, 16, false},
        {kExit, "E&xit", 324, 224, 88, 16, false},
    };
    const QRect pageRect = Page().MapDialogRect(QRect(0, 0, 418, 245));
    std::vector<std::pair<QRect, bool>> placed;
    for (const auto& c : controls) {
        SCOPED_TRACE(c.caption[0] != '\0' ? c.caption : std::to_string(c.id));
        QWidget* widget =
            c.id == fw::kNoId ? Captioned(Page(), c.caption) : Page().FindControl(c.id)->Widget();
        ASSERT_NE(widget, nullptr);
        if (c.id != fw::kNoId && c.caption[0] != '\0') {
            EXPECT_EQ(Page().GetItemText(c.id), c.caption);
        }
        const QRect expected = Page().MapDialogRect(QRect(c.x, c.y, c.cx, c.cy));
        const QRect actual = widget->geometry();
        EXPECT_EQ(actual.topLeft(), expected.topLeft());
        if (c.id == kCriteria) {
            uikit::ExpectListBoxAt(Page(), c.id, QRect(c.x, c.y, c.cx, c.cy));
        } else if (c.cx != 0) {
            EXPECT_EQ(actual.size(), expected.size());
        }
        // The caption fits: a natural size holds the whole text on one line, the note wraps
        // into its box.
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(actual.width()), actual.height());
        } else {
            EXPECT_GE(actual.width(), widget->sizeHint().width());
        }
        EXPECT_TRUE(pageRect.contains(actual));
        placed.emplace_back(actual, c.frame);
    }
    // Frames hold what starts inside them whole; nothing else overlaps.
    for (std::size_t i = 0; i < placed.size(); ++i) {
        for (std::size_t j = 0; j < placed.size(); ++j) {
            const auto& [a, aFrame] = placed[i];
            const auto& [b, bFrame] = placed[j];
            if (i == j || aFrame || (bFrame && !b.contains(a.topLeft()))) {
                continue;
            }
            if (bFrame) {
                EXPECT_TRUE(b.contains(a)) << controls[i].caption << " leaves its frame";
            } else {
                EXPECT_FALSE(a.intersects(b))
                    << controls[i].caption << " / " << controls[j].caption;
            }
        }
    }
}

TEST_F(HistoryPageTest, ShowsTheStoredSettingsAndTheSwitchesForceAndClearEachOther) {
    Open(kSeed);
    ASSERT_TRUE(harness_->LoadResult());
    EXPECT_EQ(uikit::Rows(Page(), kCriteria), (Rows{"CompareDate", "CompareSize", "CompareChecksum",
                                                    "CompareVersion", "CompareSerialNo"}));
    EXPECT_EQ(State(), "11101X 11010");  // save before restoring forces history
    EXPECT_EQ(Page().GetItemText(kHistoryPath), "D:\\History");
    EXPECT_EQ(Page().GetItemText(kMaxHistoryCount), "10");
    const std::string before = Export();
    Apply();
    EXPECT_EQ(Export(), before);

    const struct {
        int click;  // a switch, or kCriteria: toggle the first criterion
        const char* state;
    } steps[] = {
        {kDeleteRobotDirectory, "1111XX 11010"},  // forces both, which cannot be cleared
        {kDeleteRobotDirectory, "11101X 11010"},  // releases save, which still forces history
        {kSaveHistoryBeforeRestore, "111001 11010"},
        {kHistory, "111000 11010"},
        {kGenerateInfoFile, "10O000 OOOOO"},  // no info file: disk counting and criteria cleared
        {kGenerateInfoFile, "110000 00000"},  // available again, still cleared
        {kCriteria, "110000 10000"},
        {kEnableDiskCounting, "111000 10000"},
        {kEnableFeedback, "01O000 OOOOO"},
        {kDeleteRobotDirectory, "01O1XX OOOOO"},
    };
    for (const auto& step : steps) {
        if (step.click == kCriteria) {
            uikit::ToggleCheck(Page(), kCriteria, 0);
        } else {
            Click(step.click);
        }
        EXPECT_EQ(State(), step.state) << "after clicking " << step.click;
    }
    // "&Apply" writes what the page shows; a criterion is 1 only with feedback on.
    Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_EQ(Export(), kHeader + "]\n" +
                            "\"CheckBack\"=dword:00000000\n"
                            "\"CompareChecksum\"=dword:00000000\n"
                            "\"CompareDate\"=dword:00000000\n"
                            "\"CompareSerialNo\"=dword:00000000\n"
                            "\"CompareSize\"=dword:00000000\n"
                            "\"CompareVersion\"=dword:00000000\n"
                            "\"DeleteR1\"=dword:00000001\n"
                            "\"EnableDiskCounting\"=dword:00000000\n"
                            "\"Foreign\"=hex:01,02\n"
                            "\"History\"=dword:00000001\n"
                            "\"HistoryPath\"=\"D:\\\\History\"\n"
                            "\"HistoryWhenRestore\"=dword:00000001\n"
                            "\"IniOnOffSwitch\"=dword:00000001\n"
                            "\"MaxHistoryCount\"=dword:0000000a\n" +
                            kHeader + "\\Config]\n" + kHeader + "\\Config\\All]\n" + kHeader +
                            "\\Config\\All\\FileSource]\n\"0\"=\"vlx:\\\\r1\"\n" + kHeader +
                            "\\Path]\n\"Default\"=\"D:\\\\Archive\"\n");
}

TEST_F(HistoryPageTest, WithoutTheInfoFileNoCriterionIsCheckedAndApplyWritesThemAsZero) {
    Open(kHeader +
         "]\n\"CompareDate\"=dword:00000001\n\"CompareSize\"=dword:00000001\n"
         "\"CheckBack\"=dword:00000001\n\"IniOnOffSwitch\"=dword:00000000\n"
         "\"EnableDiskCounting\"=dword:00000001\n");
    EXPECT_EQ(State(), "10O000 OO");
    Apply();
    EXPECT_EQ(Export(), kHeader +
                            "]\n\"CheckBack\"=dword:00000001\n"
                            "\"CompareDate\"=dword:00000000\n"
                            "\"CompareSize\"=dword:00000000\n"
                            "\"DeleteR1\"=dword:00000000\n"
                            "\"EnableDiskCounting\"=dword:00000000\n"
                            "\"History\"=dword:00000000\n"
                            "\"HistoryPath\"=\"\"\n"
                            "\"HistoryWhenRestore\"=dword:00000000\n"
                            "\"IniOnOffSwitch\"=dword:00000000\n"
                            "\"MaxHistoryCount\"=dword:00000000\n");
}

// After "&Apply" the page shows what it wrote, so "&Restore from Registry" changes nothing: an
// absent or empty count is written and shown as 0, a leading zero goes, the path loses its blanks.
TEST_F(HistoryPageTest, ApplyShowsWhatAReloadShows) {
    const struct {
        const char* count;  // typed, or null to keep what the load showed
        const char* path;
        const char* shownCount;
        const char* shownPath;
    } cases[] = {
        {nullptr, nullptr, "0", ""},
        {"", "  D:\\H  ", "0", "D:\\H"},
        {"07", nullptr, "7", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.count ? c.count : "-") + (c.path ? c.path : "-"));
        Open(kHeader + "]\n\"CheckBack\"=dword:00000001\n");  // no count, no path
        EXPECT_EQ(Page().GetItemText(kMaxHistoryCount), "");
        if (c.count)
            uikit::TypeText(Page(), kMaxHistoryCount, c.count);
        if (c.path)
            uikit::TypeText(Page(), kHistoryPath, c.path);
        Apply();
        EXPECT_EQ(Page().GetItemText(kMaxHistoryCount), c.shownCount);
        EXPECT_EQ(Page().GetItemText(kHistoryPath), c.shownPath);
        const std::string applied = State();
        harness_->Restore();
        EXPECT_EQ(Page().GetItemText(kMaxHistoryCount), c.shownCount);
        EXPECT_EQ(Page().GetItemText(kHistoryPath), c.shownPath);
        EXPECT_EQ(State(), applied);
    }
}

TEST_F(HistoryPageTest, TheCountTakesTwoDigitsAndBeepsAtEveryFurtherOne) {
    Open(kSeed);
    BeepRecorder beeper;
    const struct {
        const char* typed;  // replacing the text; "<" first: typed at the start of the old one
        const char* shown;
        int beeps;
    } cases[] = {
        {"7", "7", 0}, {"42", "42", 0}, {"123", "12", 1}, {"98765", "98", 3}, {"<3", "39", 1},
    };
    auto& edit = Page().Item<fw::Edit>(kMaxHistoryCount);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        beeper.beeps.clear();
        if (c.typed[0] == '<') {
            edit.setFocus();
            edit.setCursorPosition(0);
            QTest::keyClicks(&edit, QString::fromLatin1(c.typed + 1));
        } else {
            uikit::TypeText(Page(), kMaxHistoryCount, c.typed);
        }
        EXPECT_EQ(edit.GetText(), c.shown);
        EXPECT_EQ(beeper.beeps, std::vector<std::string>(c.beeps, "1000Hz/50ms"));
        if (c.beeps > 0) {
            EXPECT_EQ(edit.cursorPosition(), 2);
            EXPECT_FALSE(edit.hasSelectedText());
        }
    }
    // Letters never get in; the count is written as its number.
    uikit::AppendText(Page(), kMaxHistoryCount, "x");
    EXPECT_EQ(edit.GetText(), "39");
    Apply();
    EXPECT_EQ(harness_->Registry().Value(HKEY_LOCAL_MACHINE, kArchive, "MaxHistoryCount")->second,
              (std::vector<uint8_t>{39, 0, 0, 0}));
}

TEST_F(HistoryPageTest, AHistoryWithoutAPathIsRefusedWithTwoMessagesAndNothingWritten) {
    const struct {
        std::vector<int> clicks;  // from the seed's switches
        const char* path;
        bool refused;
        const char* stored;  // the stored path afterwards
    } cases[] = {
        {{}, "   ", true, "D:\\History"},                        // history forced by save
        {{kSaveHistoryBeforeRestore}, "", true, "D:\\History"},  // history alone
        {{kDeleteRobotDirectory, kDeleteRobotDirectory, kSaveHistoryBeforeRestore, kHistory},
         "",
         false,
         ""},
        {{}, "  E:\\My Traces \t", false, "E:\\My Traces"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Open(kSeed);
        const std::string before = Export();
        for (int id : c.clicks) {
            Click(id);
        }
        uikit::TypeText(Page(), kHistoryPath, c.path);
        uikit::ToggleCheck(Page(), kCriteria, 1);
        if (c.refused) {
            Ui().Answer(fw::MsgAnswer::Ok);
            Ui().Answer(fw::MsgAnswer::Ok);
        }
        Apply();
        if (c.refused) {
            ASSERT_EQ(Ui().Messages().size(), 2u);
            EXPECT_EQ(Ui().Messages()[0].text,
                      "You must specify a path to save the history first!");
            EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
            EXPECT_EQ(Ui().Messages()[1].text, "No changes have been made to the registries!");
            EXPECT_EQ(Ui().Messages()[1].icon, fw::MsgIcon::Information);
            EXPECT_EQ(Export(), before);
        } else {
            EXPECT_TRUE(Ui().Messages().empty());
            EXPECT_EQ(
                harness_->Registry().Value(HKEY_LOCAL_MACHINE, kArchive, "CompareSize")->second,
                (std::vector<uint8_t>{0, 0, 0, 0}));
        }
        const auto path = harness_->Registry().Value(HKEY_LOCAL_MACHINE, kArchive, "HistoryPath");
        std::string stored(path->second.begin(), path->second.end());
        EXPECT_EQ(stored, std::string(c.stored) + '\0');
        // The archive configurations are never touched.
        EXPECT_EQ(harness_->Export(kArchive + "\\Path"),
                  kHeader + "\\Path]\n\"Default\"=\"D:\\\\Archive\"\n");
    }
}

TEST_F(HistoryPageTest, AMissingArchiveKeyFailsTheLoadAndApplyCreatesNothing) {
    Open("[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Quorin3\\Manager]\n");
    EXPECT_FALSE(harness_->LoadResult());
    EXPECT_TRUE(uikit::Rows(Page(), kCriteria).empty());
    EXPECT_EQ(State(), "000000 ");
    Apply();
    EXPECT_TRUE(Ui().Messages().empty());
    EXPECT_FALSE(harness_->KeyExists(kArchive));

    // Once another program has made the key, "&Restore from Registry" shows it.
    harness_->Seed(kSeed);
    harness_->Restore();
    EXPECT_EQ(State(), "11101X 11010");
    EXPECT_EQ(Page().GetItemText(kHistoryPath), "D:\\History");
}

TEST_F(HistoryPageTest, BrowseForItPutsInThePickedFolderExactlyAsThePickerReturnsIt) {
    if (!platform::kDrivesAreMapped) {
        GTEST_SKIP() << "browses a temporary drive C:";
    }
    Open(kSeed);
    harness_->Drive().MakeFolder("Data\\History");
    // The user opens [Data], then [History], and confirms.
    Ui().OnModal([](fw::Dialog& dialog) {
        auto* picker = dynamic_cast<CDlgBrowseDir*>(&dialog);
        ASSERT_NE(picker, nullptr);
        EXPECT_TRUE(picker->directoriesOnly);
        for (const char* entry : {"[Data]", "[History]"}) {
            const Rows rows = uikit::Rows(dialog, res::t138::kDirectories);
            const auto row = std::find(rows.begin(), rows.end(), entry);
            ASSERT_NE(row, rows.end()) << entry;
            uikit::DoubleClickRow(dialog, res::t138::kDirectories,
                                  static_cast<int>(row - rows.begin()));
        }
        uikit::Click(dialog, fw::kIdOk);
    });
    // A criterion mark not yet read back by the page must survive the new path being shown.
    uikit::ToggleCheck(Page(), kCriteria, 1);
    Click(kBrowse);
    EXPECT_EQ(Ui().ModalRuns(), (std::vector<int>{res::t138::kTemplate}));
    EXPECT_EQ(Page().GetItemText(kHistoryPath), "C:\\Data\\History");
    EXPECT_EQ(State(), "11101X 10010");

    // A typed path is taken as typed, longer than the edit lets the user type included; Cancel
    // changes nothing.
    const std::string typed = "D:\\Mixed Case\\" + std::string(120, 'T');
    testsupport::AnswerPicker(Ui(), typed);
    Click(kBrowse);
    testsupport::CancelPicker(Ui());
    Click(kBrowse);
    EXPECT_EQ(Page().GetItemText(kHistoryPath), typed);
    Apply();
    const auto stored = harness_->Registry().Value(HKEY_LOCAL_MACHINE, kArchive, "HistoryPath");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(std::string(stored->second.begin(), stored->second.end()), typed + '\0');
    EXPECT_EQ(harness_->Registry().Value(HKEY_LOCAL_MACHINE, kArchive, "CompareSize")->second,
              (std::vector<uint8_t>{0, 0, 0, 0}));
}

}  // namespace
