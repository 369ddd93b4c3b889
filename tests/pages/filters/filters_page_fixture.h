#pragma once
// The Filters page tests' common ground: a fixture that opens the page on a seeded store and reads
// its controls, its records and the store.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "pages/filters/tab_dlg_filters.h"
#include "resources/templates/template_130.h"
#include "tests/pages/filters/filters_area.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

namespace filterstest {

using namespace res::t130;
using Rows = std::vector<std::string>;
using Marks = std::vector<bool>;

class FiltersPageTest : public ::testing::Test {
  protected:
    // Seeds the store, creates the page in a tab control and loads it as the main window does.
    void Open(const std::string& regText) {
        page_ = nullptr;
        harness_.reset();
        harness_ = std::make_unique<testsupport::PageHarness>(regText);
        page_ = &harness_->CreatePage<CTabDlgFilters>(kTemplate);
        loaded_ = harness_->LoadResult();
    }

    CTabDlgFilters& Page() { return *page_; }
    uikit::UiRecorder& Ui() { return harness_->Ui(); }
    Rows RowsOf(int id) { return uikit::Rows(*page_, id); }
    Marks ChecksOf(int id) { return uikit::Checks(*page_, id); }
    std::string Text(int id) { return page_->GetItemText(id); }
    // The selected row's text of a list or drop-down ("" when none).
    std::string Selected(int id) { return page_->FindControl(id)->GetText(); }
    bool Checked(int id) { return page_->Item<fw::CheckBox>(id).GetCheck() == 1; }

    void SelectLevel(const std::string& name) {
        uikit::SelectRowByText(*page_, kDefinedLevels, name);
    }
    void SelectFilter(const std::string& name) {
        uikit::SelectRowByText(*page_, kAllFilters, name);
    }
    void AddLevel(const std::string& name) {
        uikit::SelectRowByText(*page_, kSupportedLevels, name);
        uikit::Click(*page_, kAddLevel);
    }
    void AddFilter(const std::string& name) {
        uikit::TypeText(*page_, kNewName, name);
        uikit::Click(*page_, kAddFilter);
    }
    // Answers the removal question with `answer`, if it comes.
    void RemoveFilter(const std::string& name, fw::MsgAnswer answer = fw::MsgAnswer::Ok) {
        SelectFilter(name);
        Ui().SetDefaultAnswer(answer);
        uikit::Click(*page_, kRemoveFilter);
        Ui().SetDefaultAnswer(std::nullopt);
    }

    const filters::FilterDefinition& Filter(const std::string& name) {
        const filters::FilterDefinition* filter = page_->FindFilter(name);
        EXPECT_NE(filter, nullptr) << name;
        return *filter;
    }
    const filters::FilterListDefinition& Level(const std::string& name) {
        const filters::FilterListDefinition* level = page_->FindFilterList(name);
        EXPECT_NE(level, nullptr) << name;
        return *level;
    }

    void Apply() { harness_->Apply(); }
    std::string Export(const std::string& path) { return harness_->Export(path); }
    std::string ExportBoth() { return Export(kFilter) + Export(kFilterList); }

    std::unique_ptr<testsupport::PageHarness> harness_;
    CTabDlgFilters* page_ = nullptr;  // owned by the harness
    bool loaded_ = false;
};

}  // namespace filterstest
