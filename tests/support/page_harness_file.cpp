// The page test kit's hold on the .reg file store: failing its writes on purpose.
#include "tests/support/page_harness.h"

#include "registry/file_store.h"

namespace testsupport {

bool PageHarness::FailStoreWrites(int error) {
    registry::FileStore* store = registry::BoundFileStore();
    if (store == nullptr)
        return false;
    store->SetWriteFaultHook([error](registry::FileStore::WriteStage stage) {
        return stage == registry::FileStore::WriteStage::Write ? error : 0;
    });
    return true;
}

}  // namespace testsupport
