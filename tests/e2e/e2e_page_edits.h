#pragma once
// The one small edit of each page (see PageEdit), in tab order; each is defined in its page's
// end-to-end test file.

#include "tests/e2e/e2e_fixture.h"

namespace e2e {

extern const PageEdit kDisplayEdit;
extern const PageEdit kFiltersEdit;
extern const PageEdit kMethodsEdit;
extern const PageEdit kUserMethodsEdit;
extern const PageEdit kTemplatesEdit;
extern const PageEdit kUpgradeEdit;
extern const PageEdit kArchiveEdit;
extern const PageEdit kHistoryEdit;
extern const PageEdit kGeneralEdit;

}  // namespace e2e
