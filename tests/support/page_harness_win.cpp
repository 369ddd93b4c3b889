// On Windows the store is the system registry, whose writes a test cannot make fail.
#include "tests/support/page_harness.h"

namespace testsupport {

bool PageHarness::FailStoreWrites(int) {
    return false;
}

}  // namespace testsupport
