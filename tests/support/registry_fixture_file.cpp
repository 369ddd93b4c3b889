// The test registry away from Windows: a .reg file in a temporary folder of its own, bound to
// the Reg*A entry points for the test's lifetime.
#include "tests/support/registry_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "registry/registry_store.h"

namespace testsupport {

void TempRegistry::SeedStore(const std::string& text) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vlx-registry-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder for the test registry");
    folder_ = tmpl;
    file_ = folder_ + "/registry.reg";
    {
        std::ofstream out(file_, std::ios::binary);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out)
            throw std::runtime_error("cannot write " + file_);
    }
    if (std::string err = registry::OpenFileStore(file_); !err.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        throw std::runtime_error(err);
    }
}

void TempRegistry::ReleaseStore() {
    registry::CloseFileStore();
    namespace fs = std::filesystem;
    std::error_code ec;
    // A test may have taken write permission away; give it back so the folder can go.
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& entry : fs::directory_iterator(folder_, ec))
        fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add, ec);
    fs::remove_all(folder_, ec);
}

}  // namespace testsupport
