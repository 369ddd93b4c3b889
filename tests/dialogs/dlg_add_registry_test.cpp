// The registry source picker, run modally on a temporary registry and driven through its
// controls.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/dlg_add_registry.h"
#include "framework/framework.h"
#include "resources/templates/template_142.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t142;
using Paths = std::vector<std::string>;

// The longest key name a registry holds: it just fits the 256-byte name buffer.
const std::string kLongest(255, 'k');

// Keys at several depths in all four areas, a key outside them, and a name of the longest kind.
const std::string kSeed = R"(
[HKEY_LOCAL_MACHINE\Software\VORNA Customer\Cell 3\Conveyor\Belt]
[HKEY_LOCAL_MACHINE\Software\VORNA Customer\Cell 3\Gripper]
[HKEY_LOCAL_MACHINE\Software\VORNA Roboter GmbH\)" +
                          kLongest + R"(\Below]
[HKEY_LOCAL_MACHINE\Software\VORNA Roboter GmbH\Quorin3\Manager]
[HKEY_LOCAL_MACHINE\Software\VORNA Roboter GmbH\Version]
[HKEY_LOCAL_MACHINE\Software\Elsewhere\Hidden]
[HKEY_CURRENT_USER\Software\VORNA Roboter GmbH\Y\Z]
[HKEY_CURRENT_USER\Software\VB and VBA Program Settings\CellTools]
)";

// Runs the picker on the current store; `drive` acts on it and ends it.
struct PickerRun {
    int result = 0;
    Paths selected;
};
PickerRun RunPicker(const std::function<void(fw::Dialog&)>& drive) {
    uikit::UiRecorder ui;
    ui.OnModal(drive);
    CDlgAddRegistry picker;
    PickerRun run;
    run.result = picker.DoModal();
    run.selected = picker.selectedSources;
    EXPECT_EQ(ui.ModalRuns(), (std::vector<int>{kTemplate}));
    return run;
}

TEST(AddRegistryPicker, ShowsEveryKeyOfTheFourAreasNothingExpandedCheckedOrSelected) {
    testsupport::TempRegistry reg(kSeed);
    RunPicker([](fw::Dialog& d) {
        auto& tree = d.Item<fw::TreeView>(kKeyTree);
        EXPECT_TRUE(tree.HasCheckBoxes());
        EXPECT_TRUE(tree.GetSelectedItem().IsNull());
        int expanded = 0;
        std::function<void(fw::TreeItem, fw::ItemData)> visit = [&](fw::TreeItem item,
                                                                    fw::ItemData root) {
            for (; !item.IsNull(); item = tree.GetNextSibling(item)) {
                const fw::ItemData data = root != 0 ? root : tree.GetItemData(item);
                EXPECT_EQ(tree.GetItemData(item), data) << tree.GetItemText(item);
                expanded += tree.IsExpanded(item) ? 1 : 0;
                visit(tree.GetChildItem(item), data);
            }
        };
        visit(tree.GetRootItem(), 0);
        EXPECT_EQ(expanded, 0);
        EXPECT_EQ(tree.GetItemData(tree.GetRootItem()),
                  reinterpret_cast<fw::ItemData>(HKEY_LOCAL_MACHINE));
        // Display order; the longest name is read whole.
        EXPECT_EQ(
            uikit::TreePaths(d, kKeyTree),
            (Paths{"HKEY_LOCAL_MACHINE",
                   "HKEY_LOCAL_MACHINE\\Software",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Customer",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Cell 3",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Cell 3\\Conveyor",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Cell 3\\Conveyor\\Belt",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Cell 3\\Gripper",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\" + kLongest,
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\" + kLongest + "\\Below",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Quorin3",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Quorin3\\Manager",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version",
                   "HKEY_CURRENT_USER",
                   "HKEY_CURRENT_USER\\Software",
                   "HKEY_CURRENT_USER\\Software\\VORNA Roboter GmbH",
                   "HKEY_CURRENT_USER\\Software\\VORNA Roboter GmbH\\Y",
                   "HKEY_CURRENT_USER\\Software\\VORNA Roboter GmbH\\Y\\Z",
                   "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings",
                   "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\CellTools"}));
        const fw::TreeItem user = uikit::FindTreeItem(d, kKeyTree, {"HKEY_CURRENT_USER"});
        EXPECT_EQ(tree.GetItemData(user), reinterpret_cast<fw::ItemData>(HKEY_CURRENT_USER));
        uikit::Click(d, fw::kIdCancel);
    });

    // Areas that do not exist are items without children.
    testsupport::TempRegistry empty;
    RunPicker([](fw::Dialog& d) {
        EXPECT_EQ(
            uikit::TreePaths(d, kKeyTree),
            (Paths{"HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE\\Software",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Customer",
                   "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH", "HKEY_CURRENT_USER",
                   "HKEY_CURRENT_USER\\Software", "HKEY_CURRENT_USER\\Software\\VORNA Roboter GmbH",
                   "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings"}));
        uikit::Click(d, fw::kIdOk);
    });
}

TEST(AddRegistryPicker, CollectsTheTypedPathFirstThenTheCheckedKeysInDisplayOrder) {
    testsupport::TempRegistry reg(kSeed);
    const std::string user = "HKEY_CURRENT_USER\\Software\\VORNA Roboter GmbH";
    const std::string cell = "HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Cell 3";
    enum class End { Ok, Enter, Cancel, Escape, CloseBox };
    const struct {
        const char* what;
        std::string typed;
        std::vector<Paths> checks;  // item paths, checked in this order
        End end;
        Paths expected;
    } cases[] = {
        {"nothing", "", {}, End::Ok, {}},
        {"typed only, leading blanks go, trailing stay",
         "  HKEY_LOCAL_MACHINE\\Software\\A  ",
         {},
         End::Ok,
         {"HKEY_LOCAL_MACHINE\\Software\\A  "}},
        {"blanks only", "   ", {}, End::Ok, {}},
        {"an area and its subkey",
         "",
         {{"HKEY_CURRENT_USER", "Software", "VORNA Roboter GmbH", "Y"},
          {"HKEY_CURRENT_USER", "Software", "VORNA Roboter GmbH"}},
         End::Ok,
         {user, user + "\\Y"}},
        {"roots and Software items are never returned",
         "",
         {{"HKEY_LOCAL_MACHINE"}, {"HKEY_CURRENT_USER", "Software"}},
         End::Ok,
         {}},
        {"a child without its parent, typed first, depth first across both roots",
         "HKEY_CURRENT_USER\\Typed",
         {{"HKEY_CURRENT_USER", "Software", "VB and VBA Program Settings", "CellTools"},
          {"HKEY_LOCAL_MACHINE", "Software", "VORNA Customer", "Cell 3", "Conveyor", "Belt"},
          {"HKEY_LOCAL_MACHINE", "Software", "VORNA Customer", "Cell 3"}},
         End::Enter,
         {"HKEY_CURRENT_USER\\Typed", cell, cell + "\\Conveyor\\Belt",
          "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\CellTools"}},
        {"Cancel",
         "HKEY_CURRENT_USER\\Typed",
         {{"HKEY_CURRENT_USER", "Software", "VORNA Roboter GmbH"}},
         End::Cancel,
         {}},
        {"Esc", "x", {{"HKEY_CURRENT_USER", "Software", "VORNA Roboter GmbH"}}, End::Escape, {}},
        {"close box",
         "x",
         {{"HKEY_CURRENT_USER", "Software", "VORNA Roboter GmbH"}},
         End::CloseBox,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PickerRun run = RunPicker([&](fw::Dialog& d) {
            if (!c.typed.empty()) {
                uikit::TypeText(d, kManualEntry, c.typed);
            }
            for (const Paths& path : c.checks) {
                const fw::TreeItem item = uikit::FindTreeItem(d, kKeyTree, path);
                uikit::SetTreeCheck(d, kKeyTree, item, true);
            }
            switch (c.end) {
                case End::Ok:
                    uikit::Click(d, fw::kIdOk);
                    break;
                case End::Enter:
                    uikit::TapKey(d, kManualEntry, fw::kVkReturn);
                    break;
                case End::Cancel:
                    uikit::Click(d, fw::kIdCancel);
                    break;
                case End::Escape:
                    uikit::TapKey(d, kKeyTree, fw::kVkEscape);
                    break;
                case End::CloseBox:
                    d.RequestClose();
                    break;
            }
        });
        const bool cancelled =
            c.end == End::Cancel || c.end == End::Escape || c.end == End::CloseBox;
        EXPECT_EQ(run.result, cancelled ? fw::kIdCancel : fw::kIdOk);
        EXPECT_EQ(run.selected, c.expected);
    }
}

TEST(AddRegistryPicker, TypedPathIsLimitedToWhatTheArchiveManagerReads) {
    testsupport::TempRegistry reg;
    const PickerRun run = RunPicker([](fw::Dialog& d) {
        uikit::TypeText(d, kManualEntry, std::string(120, 'p'));
        uikit::Click(d, fw::kIdOk);
    });
    EXPECT_EQ(run.selected, (Paths{std::string(99, 'p')}));
}

}  // namespace
