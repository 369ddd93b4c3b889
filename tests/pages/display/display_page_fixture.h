#pragma once
// The Display page tests' common ground: the seeded area and a fixture that opens the page on it
// and reads the controls and the store.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/framework.h"
#include "pages/display/display_registry.h"
#include "pages/display/tab_dlg_display.h"
#include "resources/templates/template_129.h"
#include "tests/support/page_harness.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/ui_kit.h"

namespace displaypagetest {

using namespace res::t129;
using Rows = std::vector<std::string>;

inline const std::string kDisplay = display::kDisplayKeyPath;
inline const std::string kHeader = "[HKEY_LOCAL_MACHINE\\" + kDisplay;

// .reg text of the Display key plus `body`, in which "[Display" stands for the Display key.
inline std::string Area(std::string body) {
    const std::string marker = "[Display";
    for (std::string::size_type pos = 0; (pos = body.find(marker, pos)) != std::string::npos;
         pos += kHeader.size()) {
        body.replace(pos, marker.size(), kHeader);
    }
    return kHeader + "]\n" + body;
}

inline std::string ColumnKey(const std::string& level, int position, const std::string& name,
                             int width) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", width);
    return "[Display\\" + level + "\\List\\Columns\\" + std::to_string(position) + "]\n@=\"" +
           name + "\"\n\"Width\"=dword:" + hex + "\n";
}

// Two levels the way a controller keeps them; the export order (keys and values sorted) is the
// seed's own order, so the export after "&Apply" can be compared with it as it stands.
inline const std::string kSeed =
    Area("[Display\\DEFAULT]\n[Display\\DEFAULT\\List]\n[Display\\DEFAULT\\List\\Columns]\n" +
         ColumnKey("DEFAULT", 0, "Label", 180) + ColumnKey("DEFAULT", 1, "Comment", 220) +
         ColumnKey("DEFAULT", 2, "Size", 70) +
         "[Display\\DEFAULT\\List\\Sort]\n@=\"0\"\n\"Descending\"=dword:00000000\n"
         "[Display\\DEFAULT\\Tree]\n[Display\\DEFAULT\\Tree\\Volumes]\n"
         "\"ARCHIV\"=dword:00000001\n\"CD\"=dword:00000000\n\"FD\"=dword:00000000\n"
         "\"HD\"=dword:00000000\n\"NET\"=dword:00000000\n\"VLX\"=dword:00000001\n"
         "[Display\\Expert]\n[Display\\Expert\\List]\n[Display\\Expert\\List\\Columns]\n" +
         ColumnKey("Expert", 0, "Label", 160) + ColumnKey("Expert", 1, "Extension", 60) +
         ColumnKey("Expert", 2, "Size", 70) + ColumnKey("Expert", 3, "timeModified", 120) +
         "[Display\\Expert\\List\\Sort]\n@=\"3\"\n\"Descending\"=dword:00000001\n"
         "[Display\\Expert\\Tree]\n[Display\\Expert\\Tree\\Volumes]\n"
         "\"ARCHIV\"=dword:00000001\n\"CD\"=dword:00000000\n\"FD\"=dword:00000000\n"
         "\"HD\"=dword:00000001\n\"NET\"=dword:00000001\n\"VLX\"=dword:00000001\n");

class DisplayPageTest : public ::testing::Test {
  protected:
    // Seeds the store, creates the page in a tab control and loads it as the main window does.
    void Open(const std::string& regText) {
        page_ = nullptr;
        harness_.reset();
        harness_ = std::make_unique<testsupport::PageHarness>(regText);
        page_ = &harness_->CreatePage<CTabDlgDisplay>(kTemplate);
        loaded_ = harness_->LoadResult();
    }

    CTabDlgDisplay& Page() { return *page_; }
    uikit::UiRecorder& Ui() { return harness_->Ui(); }
    testsupport::TempRegistry& Store() { return harness_->Registry(); }
    Rows RowsOf(int id) { return uikit::Rows(*page_, id); }
    std::string Caption() { return page_->GetItemText(kPropertiesGroup); }
    std::string SelectedText(int id) { return page_->FindControl(id)->GetText(); }
    int SelectedRow(int id) { return page_->Item<fw::ListBox>(id).GetCurSel(); }
    std::string Width() { return page_->GetItemText(kColumnWidth); }
    bool Descending() { return page_->Item<fw::CheckBox>(kSortDescending).GetCheck() == 1; }
    std::vector<bool> Volumes() {
        std::vector<bool> checks;
        for (int row = 0; row < 6; ++row) {
            checks.push_back(page_->Item<fw::CheckListBox>(kVolumes).GetCheck(row));
        }
        return checks;
    }
    display::LevelDefinition& Level(const std::string& name) {
        display::LevelDefinition* level = display::FindLevelByName(page_->Levels(), name);
        EXPECT_NE(level, nullptr) << name;
        return *level;
    }
    std::string Export() { return harness_->Export(kDisplay); }
    bool KeyExists(const std::string& path) { return harness_->KeyExists(path); }
    std::optional<std::pair<DWORD, std::vector<uint8_t>>> Value(const std::string& path,
                                                                const std::string& name) {
        return Store().Value(HKEY_LOCAL_MACHINE, path, name);
    }
    void Apply() { harness_->Apply(); }
    void SelectLevel(const std::string& name) {
        uikit::SelectRowByText(*page_, kDefinedLevels, name);
    }
    void SelectColumn(const std::string& name) {
        uikit::SelectRowByText(*page_, kDefinedColumns, name);
    }
    void SelectSupportedColumn(const std::string& name) {
        uikit::SelectRowByText(*page_, kSupportedColumns, name);
    }
    void AddColumn(const std::string& name) {
        SelectSupportedColumn(name);
        uikit::Click(*page_, kAddColumn);
    }

    std::unique_ptr<testsupport::PageHarness> harness_;
    CTabDlgDisplay* page_ = nullptr;  // owned by the harness
    bool loaded_ = false;
};

}  // namespace displaypagetest
