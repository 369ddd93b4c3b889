// All nine pages in one run: an edit on each, applied one after the other, and the file then
// holds every edit and nothing else changed.

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

TEST_F(EndToEnd, ApplyEveryPageOneAfterTheOther) {
    RunEdits({&kDisplayEdit, &kFiltersEdit, &kMethodsEdit, &kUserMethodsEdit, &kTemplatesEdit,
              &kUpgradeEdit, &kArchiveEdit, &kHistoryEdit, &kGeneralEdit});
}

}  // namespace
