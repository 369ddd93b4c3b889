// The directory picker on a temporary folder standing for drive C:, driven through its controls
// while it runs modally, as the pages run it.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/dlg_browse_dir.h"
#include "framework/framework.h"
#include "platform/file_system.h"
#include "resources/templates/template_138.h"
#include "tests/support/temp_drive.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t138;

constexpr const char* kNotAccessible = "Selected drive cannot be accessed:\n               ";

// What the picker shows: the edit and the directories list.
struct View {
    std::string path;
    std::vector<std::string> rows;
    friend bool operator==(const View&, const View&) = default;
};

std::ostream& operator<<(std::ostream& out, const View& view) {
    out << '"' << view.path << "\" {";
    for (const std::string& row : view.rows) {
        out << ' ' << row;
    }
    return out << " }";
}

View Shown(CDlgBrowseDir& picker) {
    return {picker.GetItemText(kPath), uikit::Rows(picker, kDirectories)};
}

std::vector<fw::ItemData> Kinds(CDlgBrowseDir& picker) {
    const auto& list = picker.Item<fw::ListBox>(kDirectories);
    std::vector<fw::ItemData> kinds;
    for (int row = 0; row < list.GetCount(); ++row) {
        kinds.push_back(list.GetItemData(row));
    }
    return kinds;
}

int RowOf(CDlgBrowseDir& picker, int id, const std::string& text) {
    const std::vector<std::string> rows = uikit::Rows(picker, id);
    const auto found = std::find(rows.begin(), rows.end(), text);
    if (found == rows.end()) {
        ADD_FAILURE() << "list " << id << " has no row " << text;
        return -1;
    }
    return static_cast<int>(found - rows.begin());
}

// One user action on the directories list.
enum class Act { Select, DoubleClick, Enter };

void Do(CDlgBrowseDir& picker, Act act, const std::string& row) {
    switch (act) {
        case Act::Select:
            uikit::SelectRowByText(picker, kDirectories, row);
            break;
        case Act::DoubleClick:
            uikit::DoubleClickRow(picker, kDirectories, RowOf(picker, kDirectories, row));
            break;
        case Act::Enter:
            uikit::SelectRowByText(picker, kDirectories, row);
            uikit::TapKey(picker, kDirectories, fw::kVkReturn);
            break;
    }
}

// Notes whether the wait cursor was still up when a message box came.
class Recorder : public uikit::UiRecorder {
  public:
    fw::MsgAnswer ShowMessage(const fw::MessageBoxRequest& request) override {
        waitCursorAtBox = waitCursorAtBox || QGuiApplication::overrideCursor() != nullptr;
        return uikit::UiRecorder::ShowMessage(request);
    }
    bool waitCursorAtBox = false;
};

class BrowseDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!platform::kDrivesAreMapped) {
            GTEST_SKIP() << "needs drive letters mapped to folders";
        }
        // C:\A\B, C:\A\x.dat, C:\A\y.dat, C:\Empty, C:\root.txt, C:\zz.txt
        drive.MakeFolder("A\\B");
        drive.MakeFolder("Empty");
        drive.MakeFile("A\\x.dat");
        drive.MakeFile("A\\y.dat");
        drive.MakeFile("root.txt");
        drive.MakeFile("zz.txt");
    }

    // Runs `picker` modally with `act` acting on it; a picker `act` leaves open is cancelled
    // (and counted in leftOpen).
    int Run(CDlgBrowseDir& picker, const std::function<void(CDlgBrowseDir&)>& act) {
        ui.OnModal([this, &act](fw::Dialog& dialog) {
            act(static_cast<CDlgBrowseDir&>(dialog));
            if (!dialog.HasEnded()) {
                ++leftOpen;
                uikit::Click(dialog, fw::kIdCancel);
            }
        });
        return picker.DoModal();
    }

    testsupport::TempDrive drive;
    Recorder ui;
    int leftOpen = 0;
};

TEST_F(BrowseDirTest, OpensAtTheRootOfDriveCWhereverTheCurrentDirectoryIs) {
    ASSERT_TRUE(platform::ChangeCurrentDirectory("C:\\A\\B"));
    for (const bool directoriesOnly : {true, false}) {
        CDlgBrowseDir picker;
        EXPECT_TRUE(picker.directoriesOnly) << "the default";
        picker.directoriesOnly = directoriesOnly;
        Run(picker, [&](CDlgBrowseDir& p) {
            if (directoriesOnly) {
                EXPECT_EQ(Shown(p), (View{"C:\\", {"[A]", "[Empty]"}}));
                EXPECT_EQ(Kinds(p), (std::vector<fw::ItemData>{1, 1}));
            } else {
                EXPECT_EQ(Shown(p), (View{"C:\\", {"[A]", "[Empty]", "root.txt", "zz.txt"}}));
                EXPECT_EQ(Kinds(p), (std::vector<fw::ItemData>{1, 1, 2, 2}));
            }
            EXPECT_EQ(uikit::Rows(p, kDrives), std::vector<std::string>{"C:\\"});
        });
    }
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(BrowseDirTest, EntersAndLeavesFoldersByDoubleClickAndByEnter) {
    struct Step {
        Act act;
        const char* row;
        View view;
    };
    const Step steps[] = {
        {Act::DoubleClick, "[A]", {"C:\\A", {"[..]", "[B]"}}},
        {Act::Enter, "[B]", {"C:\\A\\B", {"[..]"}}},
        {Act::DoubleClick, "[..]", {"C:\\A", {"[..]", "[B]"}}},
        {Act::Enter, "[..]", {"C:\\", {"[A]", "[Empty]"}}},
        {Act::Enter, "[Empty]", {"C:\\Empty", {"[..]"}}},
        {Act::DoubleClick, "[..]", {"C:\\", {"[A]", "[Empty]"}}},
        {Act::Enter, "[A]", {"C:\\A", {"[..]", "[B]"}}},
    };
    CDlgBrowseDir picker;
    Run(picker, [&](CDlgBrowseDir& p) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.row);
            Do(p, step.act, step.row);
            EXPECT_FALSE(p.HasEnded()) << "Enter in the list does not press OK";
            EXPECT_EQ(Shown(p), step.view);
            EXPECT_EQ(platform::CurrentDirectory(), step.view.path);
        }
    });
    EXPECT_EQ(leftOpen, 1);
    EXPECT_EQ(platform::CurrentDirectory(), "C:\\A") << "the picker leaves it changed";

    // Run again, the same object starts afresh at C:\.
    Run(picker, [](CDlgBrowseDir& p) { EXPECT_EQ(Shown(p).path, "C:\\"); });
}

TEST_F(BrowseDirTest, ASelectedFileReplacesTheOneAppendedBefore) {
    struct Step {
        Act act;
        const char* row;
        const char* path;
    };
    const Step steps[] = {
        {Act::Select, "root.txt", "C:\\root.txt"},  // one backslash at the drive root
        {Act::Select, "zz.txt", "C:\\zz.txt"},     {Act::DoubleClick, "[A]", "C:\\A"},
        {Act::Select, "x.dat", "C:\\A\\x.dat"},    {Act::Select, "y.dat", "C:\\A\\y.dat"},
        {Act::Select, "[B]", "C:\\A\\y.dat"},  // a folder only shows the path
        {Act::DoubleClick, "[B]", "C:\\A\\B"},     {Act::DoubleClick, "[..]", "C:\\A"},
        {Act::Select, "x.dat", "C:\\A\\x.dat"},    {Act::DoubleClick, "[..]", "C:\\"},
    };
    CDlgBrowseDir picker;
    picker.directoriesOnly = false;
    Run(picker, [&](CDlgBrowseDir& p) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.row);
            Do(p, step.act, step.row);
            EXPECT_EQ(Shown(p).path, step.path);
        }
        // Typed text stays until a selection shows the path again.
        uikit::TypeText(p, kPath, "D:\\typed");
        Do(p, Act::Select, "[Empty]");
        EXPECT_EQ(Shown(p).path, "C:\\");
    });
}

TEST_F(BrowseDirTest, EndsWithWhatTheEditShowsOrCancels) {
    struct Case {
        const char* name;
        bool directoriesOnly;
        std::function<void(CDlgBrowseDir&)> act;
        int result;
        const char* path;  // checked after OK only
    };
    const Case cases[] = {
        {"double-click on a file", false,
         [](CDlgBrowseDir& p) {
             Do(p, Act::DoubleClick, "[A]");
             Do(p, Act::Select, "x.dat");
             Do(p, Act::DoubleClick, "y.dat");
         },
         fw::kIdOk, "C:\\A\\y.dat"},
        {"Enter on a file", false,
         [](CDlgBrowseDir& p) {
             Do(p, Act::DoubleClick, "[A]");
             Do(p, Act::Enter, "x.dat");
         },
         fw::kIdOk, "C:\\A\\x.dat"},
        {"typed text and OK", true,
         [](CDlgBrowseDir& p) {
             uikit::TypeText(p, kPath, "D:\\Not\\There");
             uikit::Click(p, fw::kIdOk);
         },
         fw::kIdOk, "D:\\Not\\There"},
        {"Cancel", true, [](CDlgBrowseDir& p) { uikit::Click(p, fw::kIdCancel); }, fw::kIdCancel,
         nullptr},
        {"Esc", false,
         [](CDlgBrowseDir& p) {
             Do(p, Act::Select, "root.txt");
             uikit::TapKey(p, kDirectories, fw::kVkEscape);
         },
         fw::kIdCancel, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDlgBrowseDir picker;
        picker.directoriesOnly = c.directoriesOnly;
        EXPECT_EQ(Run(picker, c.act), c.result);
        if (c.path != nullptr) {
            EXPECT_EQ(picker.path, c.path);
        }
    }
    EXPECT_EQ(leftOpen, 0);
}

TEST_F(BrowseDirTest, ARootOfFilesOnlyCountsTheFileSelectedAtOnce) {
    drive.Remove("A");
    drive.Remove("Empty");
    CDlgBrowseDir picker;
    picker.directoriesOnly = false;
    Run(picker, [](CDlgBrowseDir& p) {
        EXPECT_EQ(Shown(p), (View{"C:\\root.txt", {"root.txt", "zz.txt"}}));
        Do(p, Act::Select, "zz.txt");
        EXPECT_EQ(Shown(p).path, "C:\\zz.txt");
    });
}

TEST_F(BrowseDirTest, DrivesThatCannotBeEntered) {
    const auto missing = drive.Folder() / "missing";
    struct Case {
        const char* name;
        std::map<char, std::string> mapping;  // replaces the fixture's C:
        std::vector<std::string> drives;
        int selected;
        std::vector<std::string> messages;
        View view;
    };
    const std::string here = drive.Folder().string();
    ui.SetDefaultAnswer(fw::MsgAnswer::Ok);
    const Case cases[] = {
        {"C: not there",
         {{'C', missing.string()}, {'D', here}},
         {"C:\\", "D:\\"},
         0,
         {std::string(kNotAccessible) + "C:\\"},
         {"", {}}},
        {"no C:, so the second drive",
         {{'D', missing.string()}, {'E', here}},
         {"D:\\", "E:\\"},
         1,
         {},
         {"E:\\", {"[A]", "[Empty]"}}},
        {"one drive, not C:", {{'D', here}}, {"D:\\"}, -1, {}, {"", {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [letter, folder] : platform::DriveMappings()) {
            platform::RemoveDriveMapping(letter);
        }
        for (const auto& [letter, folder] : c.mapping) {
            platform::SetDriveMapping(letter, folder);
        }
        ui.ClearMessages();
        CDlgBrowseDir picker;
        Run(picker, [&](CDlgBrowseDir& p) {
            EXPECT_EQ(uikit::Rows(p, kDrives), c.drives);
            EXPECT_EQ(p.Item<fw::ListBox>(kDrives).GetCurSel(), c.selected);
            EXPECT_EQ(ui.MessageTexts(), c.messages);
            EXPECT_EQ(Shown(p), c.view);
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        });
        for (const uikit::ShownMessage& message : ui.Messages()) {
            EXPECT_EQ(message.icon, fw::MsgIcon::Error);
            EXPECT_EQ(message.buttons, fw::MsgButtons::Ok);
        }
    }

    // Picking a drive that cannot be entered later empties the list and keeps the path shown;
    // the user can go back to another drive.
    platform::SetDriveMapping('C', here);
    platform::SetDriveMapping('D', missing.string());
    ui.ClearMessages();
    CDlgBrowseDir picker;
    picker.directoriesOnly = false;
    const int result = Run(picker, [&](CDlgBrowseDir& p) {
        Do(p, Act::DoubleClick, "[A]");
        Do(p, Act::Select, "x.dat");
        uikit::SelectRowByText(p, kDrives, "D:\\");
        EXPECT_EQ(ui.MessageTexts(),
                  std::vector<std::string>{std::string(kNotAccessible) + "D:\\"});
        EXPECT_EQ(Shown(p), (View{"C:\\A\\x.dat", {}}));
        EXPECT_FALSE(fw::WaitCursor::IsShown());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(platform::CurrentDirectory(), "C:\\A");
        uikit::SelectRowByText(p, kDrives, "C:\\");
        EXPECT_EQ(Shown(p), (View{"C:\\", {"[A]", "[Empty]", "root.txt", "zz.txt"}}));
        uikit::SelectRowByText(p, kDrives, "D:\\");
        uikit::Click(p, fw::kIdOk);
    });
    EXPECT_FALSE(ui.waitCursorAtBox);
    EXPECT_EQ(result, fw::kIdOk);
    EXPECT_EQ(picker.path, "C:\\") << "the edit's text, not the drive that failed";
}

TEST_F(BrowseDirTest, FoldersRemovedUnderThePicker) {
    CDlgBrowseDir picker;
    Run(picker, [&](CDlgBrowseDir& p) {
        // A folder gone before it is entered: no message, the list shows where we are.
        Do(p, Act::DoubleClick, "[A]");
        drive.Remove("A\\B");
        Do(p, Act::DoubleClick, "[B]");
        EXPECT_EQ(Shown(p), (View{"C:\\A", {"[..]"}}));

        // The current directory itself gone, its parent too: the path last shown stays, the
        // list is empty, and choosing the drive again starts over.
        drive.MakeFolder("A\\B");
        Do(p, Act::DoubleClick, "[..]");
        Do(p, Act::DoubleClick, "[A]");
        Do(p, Act::DoubleClick, "[B]");
        drive.Remove("A");
        Do(p, Act::DoubleClick, "[..]");
        EXPECT_EQ(Shown(p), (View{"C:\\A\\B", {}}));
        uikit::SelectRowByText(p, kDrives, "C:\\");
        EXPECT_EQ(Shown(p), (View{"C:\\", {"[Empty]"}}));
    });
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(BrowseDirTest, LongPathsAndNamesOutsideTheCodePageComeBackWhole) {
    // Three names of 100 characters: a path beyond 256 bytes, read whole.
    const std::string a(100, 'a'), b(100, 'b'), c(100, 'c');
    drive.MakeFolder(a + "\\" + b + "\\" + c);
    // UTF-8 names as this system stores them: one with a character the code page lacks keeps
    // its bytes (0x81 among them, unassigned there) and must still reach the file system
    // unchanged; one the code page can hold is shown in it.
    const std::string foreign = "M\xC3\xBCller \xE3\x81\x82";
    drive.MakeFile(foreign + "\\f\xC3\xA9.dat");
    CDlgBrowseDir picker;
    picker.directoriesOnly = false;
    const int result = Run(picker, [&](CDlgBrowseDir& p) {
        Do(p, Act::DoubleClick, "[" + foreign + "]");
        EXPECT_EQ(Shown(p), (View{"C:\\" + foreign, {"[..]", "f\xE9.dat"}}));
        Do(p, Act::DoubleClick, "[..]");
        for (const std::string* name : {&a, &b, &c}) {
            Do(p, Act::DoubleClick, "[" + *name + "]");
        }
        EXPECT_EQ(platform::CurrentDirectory(), "C:\\" + a + "\\" + b + "\\" + c);
        uikit::Click(p, fw::kIdOk);
    });
    EXPECT_EQ(result, fw::kIdOk);
    EXPECT_EQ(picker.path, "C:\\" + a + "\\" + b + "\\" + c);
}

}  // namespace
