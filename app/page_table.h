#pragma once
// The nine tab pages in tab order: label, page class, dialog template and the registry keys the
// start-up message names when the page's load fails. The main dialog takes the table as a
// parameter, so tests can run it with pages of their own.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/base/basic_dialog_tab.h"

struct PageEntry {
    std::string label;        // tab label
    unsigned templateNumber;  // dialog template of the page
    std::function<std::unique_ptr<CBasicDialogTab>()> create;
    std::string keyText;  // appended to the start-up message when the load fails
};

using PageTable = std::vector<PageEntry>;

template <class Page>
std::unique_ptr<CBasicDialogTab> MakePage() {
    return std::make_unique<Page>();
}

// The program's pages.
const PageTable& DefaultPageTable();
