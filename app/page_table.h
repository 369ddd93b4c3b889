#pragma once
// The nine tab pages in tab order: label, page class, dialog template and the page's registry
// area, from which the start-up message's key text comes. The main dialog takes the table as a
// parameter, so tests can run it with pages of their own.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pages/base/basic_dialog_tab.h"
#include "pages/common/area_contract.h"

struct PageEntry {
    std::string label;        // tab label
    unsigned templateNumber;  // dialog template of the page
    std::function<std::unique_ptr<CBasicDialogTab>()> create;
    std::string keyText;  // appended to the start-up message when the load fails
    const common::AreaDescriptor* area = nullptr;  // the page's registry area; null for none
    // Reads the page's area before the page is made, on any thread; what it returns hands the
    // read to the page once made. Empty: the page reads in its LoadFromRegistry.
    std::function<std::function<void(CBasicDialogTab&)>()> readAhead;
};

using PageTable = std::vector<PageEntry>;

template <class Page>
std::unique_ptr<CBasicDialogTab> MakePage() {
    return std::make_unique<Page>();
}

// A page class that can read its area ahead: its AreaRead, ReadInto and GiveRead.
template <class Page>
std::function<void(CBasicDialogTab&)> ReadAhead() {
    auto read = std::make_shared<typename Page::AreaRead>();
    Page::ReadInto(*read);
    // A table whose entry makes a page of another class (a test's) leaves that page to read.
    return [read](CBasicDialogTab& page) {
        if (auto* made = dynamic_cast<Page*>(&page))
            made->GiveRead(std::move(*read));
    };
}

// The entry of a page of class `Page` for the registry area `area`: the key text is the area's.
template <class Page>
PageEntry MakePageEntry(std::string label, unsigned templateNumber,
                        const common::AreaDescriptor& area) {
    PageEntry entry{
        std::move(label), templateNumber, &MakePage<Page>, common::MessageKeyText(area), &area, {}};
    if constexpr (requires { typename Page::AreaRead; })
        entry.readAhead = &ReadAhead<Page>;
    return entry;
}

// The program's pages.
const PageTable& DefaultPageTable();

// Every key of the areas of `table`'s pages, in tab order, each once.
std::vector<std::string_view> AreaKeys(const PageTable& table);
