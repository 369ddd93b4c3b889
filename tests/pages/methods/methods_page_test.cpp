// The Methods and User Methods pages driven through their controls, against a temporary
// registry.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "pages/methods/method_registry.h"
#include "pages/methods/tab_dlg_methods.h"
#include "pages/methods/tab_dlg_user_methods.h"
#include "resources/templates/template_131.h"
#include "resources/templates/template_132.h"
#include "tests/pages/methods/methods_area.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace methodstest;
using methods::MethodDefinition;
using methods::MethodMask;
using Rows = std::vector<std::string>;
using Checks = std::vector<bool>;

// Both pages share these ids; only the "Enable for user" list and the name edit differ.
namespace ids = res::t131;
static_assert(res::t132::kMethods == ids::kMethods &&
              res::t132::kSystemConditions == ids::kSystemConditions &&
              res::t132::kItemConditions == ids::kItemConditions &&
              res::t132::kAskBefore == ids::kAskBefore && res::t132::kStatus == ids::kStatus &&
              res::t132::kNumber == ids::kNumber &&
              res::t132::kPropertiesGroup == ids::kPropertiesGroup);

const char kEmptyNameMessage[] = "You must specify a valid name for the user method!";
const char kFirstItemStatus[] =
    "Item condition: Submit program state SELECTED for item in the ITEM LIST";

// Built-in methods as a controller keeps them, keys that are no built-in method (0, 07, 90 up)
// and two user methods. "Rename" holds item bits 6 and 7, which belong to no row.
const std::string kSeed = Area(
    MethodKey(0, "Zero", 1, 1, 1, 1) + MethodKey(1, "Open", 0x7fff012c, 0x0200ff00, 0, 31) +
    "[MP\\07]\n@=\"Seven\"\n" + MethodKey(10, "Rename", 0x4fff01e4, 0x0200c900, 4, 29) +
    MethodKey(2, "Copy", 0x000f0108, 0x00000100, 1, 31) + MethodKey(89, "Properties", 0, 0, 0, 1) +
    MethodKey(90, "Backup", 0, 0x10, 31, 31) + MethodKey(91, "Restore", 0x8000, 0, 0, 15));

class MethodPagesTest : public ::testing::Test {
  protected:
    // Seeds the store and opens page `Page` on it as the main window does; `boxes` message boxes
    // are expected during the load and answered OK.
    template <class Page>
    Page& Open(const std::string& regText, unsigned templateNumber, int boxes = 0) {
        page_ = nullptr;
        harness_.reset();
        harness_ = std::make_unique<testsupport::PageHarness>(regText);
        for (int i = 0; i < boxes; ++i) {
            harness_->Ui().Answer(fw::MsgAnswer::Ok);
        }
        Page& page = harness_->CreatePage<Page>(templateNumber);
        page_ = &page;
        EXPECT_TRUE(harness_->LoadResult());
        return page;
    }
    CTabDlgMethods& OpenMethods(const std::string& regText = kSeed) {
        return Open<CTabDlgMethods>(regText, res::t131::kTemplate);
    }
    CTabDlgUserMethods& OpenUserMethods(const std::string& regText = kSeed, int boxes = 0) {
        return Open<CTabDlgUserMethods>(regText, res::t132::kTemplate, boxes);
    }

    Rows RowsOf(int id) { return uikit::Rows(*page_, id); }
    Checks ChecksOf(int id) { return uikit::Checks(*page_, id); }
    std::string Text(int id) { return page_->GetItemText(id); }
    int SelectedRow(int id) { return page_->Item<fw::ListBox>(id).GetCurSel(); }
    uikit::UiRecorder& Ui() { return harness_->Ui(); }
    std::string Export() { return harness_->Export(kModulProc); }
    std::string ExportMethod(int number) {
        return harness_->Export(methods::MethodKeyPath(number));
    }
    void Apply() { harness_->Apply(); }
    void Restore() { harness_->Restore(); }

    std::unique_ptr<testsupport::PageHarness> harness_;
    fw::Dialog* page_ = nullptr;  // owned by the harness
};

// The export of one method key as MethodKey writes it, with the key spelled as the export does.
std::string Method(int number, const std::string& name, std::uint32_t item, std::uint32_t system,
                   std::uint32_t askBefore, std::uint32_t active) {
    const std::string body = Area(MethodKey(number, name, item, system, askBefore, active));
    return body.substr(body.find('\n') + 1);
}

TEST_F(MethodPagesTest, MethodsPageShowsOnlyBuiltInMethodsAndAppliesThemUnchanged) {
    OpenMethods();
    const std::string stored = Export();
    EXPECT_EQ(RowsOf(ids::kMethods), (Rows{"Open", "Copy", "Rename", "Properties"}));
    EXPECT_EQ(SelectedRow(ids::kMethods), 0);
    EXPECT_EQ(RowsOf(ids::kSystemConditions).size(), 19u);
    EXPECT_EQ(RowsOf(ids::kItemConditions).size(), 30u);
    EXPECT_EQ(RowsOf(ids::kItemConditions)[29], "Protected File");
    for (int id : {ids::kAskBefore, ids::kActive}) {
        EXPECT_EQ(RowsOf(id), (Rows{"Default", "Demo", "User", "Expert", "Admin"}));
    }

    // "Copy": item rows SelSingle (bit 8), ItemState1Sel (bit 3) and SRC..SUB/ERR (bits 16 to
    // 19); system row DriveVLX (bit 8); asked for Default only, enabled for all.
    uikit::SelectRow(*page_, ids::kMethods, 1);
    EXPECT_EQ(Text(ids::kPropertiesGroup), "Properties for: Copy ");
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for Copy is 2");
    EXPECT_EQ(Text(ids::kStatus), kFirstItemStatus);
    Checks item(30, false);
    for (int row : {3, 6, 13, 14, 15, 16})
        item[row] = true;
    EXPECT_EQ(ChecksOf(ids::kItemConditions), item);
    Checks system(19, false);
    system[6] = true;
    EXPECT_EQ(ChecksOf(ids::kSystemConditions), system);
    EXPECT_EQ(ChecksOf(ids::kAskBefore), (Checks{true, false, false, false, false}));
    EXPECT_EQ(ChecksOf(ids::kActive), Checks(5, true));

    // Condition rows show their description; level rows leave the status line alone. Another
    // method brings every list back to its first row and the status line to the first item.
    uikit::SelectRow(*page_, ids::kSystemConditions, 5);
    EXPECT_EQ(Text(ids::kStatus), "System condition: Roboter program state FREE for system");
    uikit::SelectRow(*page_, ids::kItemConditions, 13);
    uikit::SelectRow(*page_, ids::kActive, 4);
    EXPECT_EQ(Text(ids::kStatus), "Item condition: Item is a DAT/SRC file ");
    uikit::SelectRow(*page_, ids::kAskBefore, 3);
    uikit::SelectRow(*page_, ids::kMethods, 3);
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for Properties is 89");
    for (int id : {ids::kSystemConditions, ids::kItemConditions, ids::kAskBefore, ids::kActive}) {
        EXPECT_EQ(SelectedRow(id), 0) << id;
    }
    EXPECT_EQ(Text(ids::kStatus), kFirstItemStatus);

    Apply();
    EXPECT_EQ(Export(), stored);
    EXPECT_TRUE(Ui().Messages().empty());
}

TEST_F(MethodPagesTest, EachToggleChangesExactlyItsRowsBitsOfTheSelectedMethod) {
    struct Case {
        int list;
        int row;
        MethodMask mask;
        std::uint32_t bits;
        // The status line after the click: a click selects its row first, unless it is
        // selected already ("": the first item condition stays).
        const char* status;
    };
    const Case cases[] = {
        {ids::kSystemConditions, 0, MethodMask::SystemConditions, 1u << 0, ""},
        {ids::kSystemConditions, 15, MethodMask::SystemConditions, 1u << 20,
         "System condition: Kestrin is not visible"},
        {ids::kSystemConditions, 18, MethodMask::SystemConditions, 1u << 25,
         "System condition: Focus in Items List"},
        {ids::kItemConditions, 6, MethodMask::ItemConditions, 1u << 8,
         "Item condition: Exactly one item selected"},
        {ids::kItemConditions, 13, MethodMask::ItemConditions, 1u << 16,
         "Item condition: Item is a DAT/SRC file "},
        {ids::kItemConditions, 28, MethodMask::ItemConditions, 1u << 31,
         "Item condition: Item is a MOTION file"},
        {ids::kItemConditions, 29, MethodMask::ItemConditions, 1u << 11,
         "Item condition: Item is a protected file"},
        {ids::kAskBefore, 2, MethodMask::AskBefore, 4, ""},
        {ids::kActive, 4, MethodMask::Active, 16, ""},
    };
    const MethodMask all[] = {MethodMask::SystemConditions, MethodMask::ItemConditions,
                              MethodMask::AskBefore, MethodMask::Active};
    for (const Case& c : cases) {
        SCOPED_TRACE("list " + std::to_string(c.list) + " row " + std::to_string(c.row));
        CTabDlgMethods& page = OpenMethods();
        uikit::SelectRowByText(page, ids::kMethods, "Rename");
        const MethodDefinition before = *page.SelectedMethod();
        const MethodDefinition copy = *page.Methods()[1];

        uikit::ToggleCheck(page, c.list, c.row);
        const MethodDefinition after = *page.SelectedMethod();
        for (MethodMask m : all) {
            EXPECT_EQ(after.Mask(m), before.Mask(m) ^ (m == c.mask ? c.bits : 0u));
        }
        EXPECT_EQ(page.Methods()[1]->Mask(c.mask), copy.Mask(c.mask));
        EXPECT_EQ(Text(ids::kStatus), *c.status ? c.status : kFirstItemStatus);

        // Applied, the stored masks are the edited ones, every other bit as it was.
        Apply();
        harness_->Reload();
        uikit::SelectRowByText(page, ids::kMethods, "Rename");
        for (MethodMask m : all) {
            EXPECT_EQ(page.SelectedMethod()->Mask(m), after.Mask(m));
        }
        // Toggled back and restored without "&Apply": the applied state comes back.
        uikit::ToggleCheck(page, c.list, c.row);
        EXPECT_EQ(page.SelectedMethod()->Mask(c.mask), before.Mask(c.mask));
        Restore();
        uikit::SelectRowByText(page, ids::kMethods, "Rename");
        EXPECT_EQ(page.SelectedMethod()->Mask(c.mask), after.Mask(c.mask));
    }
}

TEST_F(MethodPagesTest, MethodsPageWithoutMethodsShowsAnUnknownMethodAndChangesNothing) {
    const std::string version = "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n";
    for (const std::string& seed : {version, Area("")}) {
        CTabDlgMethods& page = OpenMethods(seed);
        EXPECT_TRUE(RowsOf(ids::kMethods).empty());
        EXPECT_EQ(Text(ids::kPropertiesGroup), "Properties for: Unknown method ");
        EXPECT_EQ(Text(ids::kNumber), "Unknown modul proc");
        EXPECT_EQ(Text(ids::kStatus), kFirstItemStatus);
        EXPECT_EQ(ChecksOf(ids::kActive), Checks(5, false));
        uikit::ToggleCheck(page, ids::kActive, 0);
        uikit::ToggleCheck(page, ids::kItemConditions, 2);
        Apply();
        EXPECT_EQ(Export(), seed == version ? "" : Area(""));
        EXPECT_TRUE(Ui().Messages().empty());
    }
}

TEST_F(MethodPagesTest, MethodsOfOneNameAreShownAndEditedApart) {
    CTabDlgMethods& page =
        OpenMethods(Area(MethodKey(1, "Open", 0, 0, 0, 31) + MethodKey(2, "OPEN", 0, 0, 0, 31) +
                         MethodKey(3, "", 0, 0, 0, 1) + MethodKey(4, "", 0, 0, 0, 2)));
    uikit::SelectRow(page, ids::kMethods, 1);
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for OPEN is 2");
    uikit::ToggleCheck(page, ids::kActive, 0);
    uikit::SelectRow(page, ids::kMethods, 3);
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for  is 4");
    EXPECT_EQ(ChecksOf(ids::kActive), (Checks{false, true, false, false, false}));
    Apply();
    EXPECT_EQ(ExportMethod(1), Method(1, "Open", 0, 0, 0, 31));
    EXPECT_EQ(ExportMethod(2), Method(2, "OPEN", 0, 0, 0, 30));
}

TEST_F(MethodPagesTest, MissingUserMethodsShowDefaultsAndTheFirstApplyCreatesTenKeys) {
    OpenUserMethods(Area(MethodKey(1, "Open", 0, 0, 0, 31)));
    Rows defaults;
    std::string keys = MethodKey(1, "Open", 0, 0, 0, 31);
    for (int n = 90; n <= 99; ++n) {
        defaults.push_back("ModulProc" + std::to_string(n));
        keys += MethodKey(n, defaults.back(), 0, 0, 31, 31);
    }
    EXPECT_EQ(RowsOf(ids::kMethods), defaults);
    EXPECT_EQ(SelectedRow(ids::kMethods), 0);
    EXPECT_EQ(Text(res::t132::kName), "ModulProc90");
    EXPECT_EQ(Text(ids::kPropertiesGroup), "Properties for: ModulProc90 ");
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for ModulProc90 is 90");
    EXPECT_EQ(Text(ids::kStatus), kFirstItemStatus);
    EXPECT_EQ(ChecksOf(ids::kAskBefore), Checks(5, true));
    EXPECT_EQ(ChecksOf(res::t132::kActive), Checks(5, true));
    EXPECT_EQ(ChecksOf(ids::kSystemConditions), Checks(19, false));
    EXPECT_EQ(ChecksOf(ids::kItemConditions), Checks(30, false));
    Apply();
    EXPECT_EQ(Export(), Area(keys));
    EXPECT_TRUE(Ui().Messages().empty());
}

TEST_F(MethodPagesTest, RenamingAUserMethodReplacesItsRowInPlace) {
    CTabDlgUserMethods& page = OpenUserMethods();
    uikit::SelectRow(page, ids::kMethods, 1);
    EXPECT_EQ(Text(res::t132::kName), "Restore");
    // Leading blanks go at once; backslashes are part of a name.
    uikit::TypeText(page, res::t132::kName, "  Archive \\ all ");
    EXPECT_EQ(Text(res::t132::kName), "Archive \\ all ");
    EXPECT_EQ(RowsOf(ids::kMethods),
              (Rows{"Backup", "Archive \\ all ", "ModulProc92", "ModulProc93", "ModulProc94",
                    "ModulProc95", "ModulProc96", "ModulProc97", "ModulProc98", "ModulProc99"}));
    EXPECT_EQ(SelectedRow(ids::kMethods), 1);
    EXPECT_EQ(Text(ids::kPropertiesGroup), "Properties for: Archive \\ all  ");
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for Archive \\ all  is 91");

    // Deleting the whole name keeps the stored one.
    uikit::TypeText(page, res::t132::kName, "");
    EXPECT_EQ(RowsOf(ids::kMethods)[1], "Archive \\ all ");
    uikit::SelectRow(page, ids::kMethods, 0);
    uikit::SelectRow(page, ids::kMethods, 1);
    EXPECT_EQ(Text(res::t132::kName), "Archive \\ all ");

    // Typing stops at 99 characters.
    uikit::TypeText(page, res::t132::kName, std::string(120, 'x'));
    EXPECT_EQ(page.SelectedMethod()->name, std::string(99, 'x'));
    uikit::TypeText(page, res::t132::kName, "Archive");
    Apply();
    EXPECT_EQ(ExportMethod(91), Method(91, "Archive", 0x8000, 0, 0, 15));
    EXPECT_TRUE(Ui().Messages().empty());
}

TEST_F(MethodPagesTest, UserMethodsOfOneNameAreEditedIndependently) {
    CTabDlgUserMethods& page = OpenUserMethods();
    uikit::SelectRow(page, ids::kMethods, 2);
    uikit::TypeText(page, res::t132::kName, "Backup");
    uikit::ToggleCheck(page, res::t132::kActive, 0);
    uikit::ToggleCheck(page, ids::kSystemConditions, 18);
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for Backup is 92");
    uikit::SelectRow(page, ids::kMethods, 0);
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for Backup is 90");
    EXPECT_EQ(ChecksOf(res::t132::kActive), Checks(5, true));
    EXPECT_EQ(ChecksOf(ids::kSystemConditions)[18], false);
    Apply();
    EXPECT_EQ(ExportMethod(90), Method(90, "Backup", 0, 0x10, 31, 31));
    EXPECT_EQ(ExportMethod(92), Method(92, "Backup", 0, 1u << 25, 31, 30));
}

TEST_F(MethodPagesTest, AUserMethodWithoutANameIsAskedForUntilItGetsOne) {
    const std::string longName(150, 'L');
    CTabDlgUserMethods& page =
        OpenUserMethods(Area(MethodKey(90, "Backup", 0, 0, 31, 31) +
                             MethodKey(91, longName, 0, 0, 0, 31) + MethodKey(93, "", 4, 0, 2, 6)),
                        1);
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0].text, kEmptyNameMessage);
    EXPECT_EQ(Ui().Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_EQ(Ui().Messages()[0].buttons, fw::MsgButtons::Ok);
    // The nameless row is selected and shown.
    EXPECT_EQ(SelectedRow(ids::kMethods), 3);
    EXPECT_EQ(Text(res::t132::kName), "");
    EXPECT_EQ(Text(ids::kNumber), "Modul proc for  is 93");
    EXPECT_EQ(ChecksOf(res::t132::kActive), (Checks{false, true, true, false, false}));

    // Every selection change asks again and puts the focus into the name edit; an empty name
    // is no name.
    Ui().Answer(fw::MsgAnswer::Ok);
    uikit::SelectRow(page, ids::kMethods, 0);
    EXPECT_EQ(Ui().Messages().size(), 2u);
    EXPECT_EQ(SelectedRow(ids::kMethods), 3);
    EXPECT_EQ(page.FocusedControlId(), res::t132::kName);
    uikit::TypeText(page, res::t132::kName, " ");
    Ui().Answer(fw::MsgAnswer::Ok);
    uikit::SelectRow(page, ids::kMethods, 1);
    EXPECT_EQ(Ui().Messages().size(), 3u);

    // Named, it asks no more. The long stored name is shown and written back whole.
    uikit::TypeText(page, res::t132::kName, "Check");
    uikit::SelectRow(page, ids::kMethods, 1);
    EXPECT_EQ(Ui().Messages().size(), 3u);
    EXPECT_EQ(Text(res::t132::kName), longName);
    Apply();
    EXPECT_EQ(ExportMethod(91), Method(91, longName, 0, 0, 0, 31));
    EXPECT_EQ(ExportMethod(93), Method(93, "Check", 4, 0, 2, 6));
}

}  // namespace
