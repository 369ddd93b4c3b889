// The test registry on Windows: the system registry, with the program's areas and the keys a
// test seeds cleared before and after each test, since every test shares it.
#include "tests/support/registry_fixture.h"

#include <stdexcept>

#include "registry/key_snapshot.h"
#include "registry/reg_import.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"
#include "tests/support/reg_model.h"

namespace testsupport {

namespace {

std::string JoinPath(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "\\") + p;
    return out;
}

// Seeded keys are cleared before seeding only below "Software", and never in the machine's
// own branches, so a test run on a real Windows machine cannot wipe system settings.
bool IsTestArea(const std::vector<std::string>& path) {
    if (path.size() < 2 || !registry::NamesEqual(path[0], "Software"))
        return false;
    for (const char* system : {"Microsoft", "Classes", "Policies", "Wow6432Node", "Wine", "Clients",
                               "RegisteredApplications"})
        if (registry::NamesEqual(path[1], system))
            return false;
    return true;
}

void DeleteAreas(const std::vector<std::pair<HKEY, std::string>>& areas) {
    for (const auto& [root, path] : areas)
        DeleteKeyTree(root, path.c_str());
}

}  // namespace

void TempRegistry::SeedStore(const std::string& text) {
    registry::RegDocument doc;
    if (std::string err = registry::ParseRegText(text, "test registry text", &doc); !err.empty())
        throw std::runtime_error(err);
    // The system registry outlives each test: the areas tests write without seeding them (the
    // test frame's pages write "Frame Test") go too, or a test after them finds them there.
    seededAreas_ = {{HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH"},
                    {HKEY_LOCAL_MACHINE, "Software\\VORNA Customer"},
                    {HKEY_LOCAL_MACHINE, "Software\\Frame Test"},
                    {HKEY_CURRENT_USER, "Software\\VORNA Roboter GmbH"},
                    {HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings"}};
    for (const registry::RegEntry& e : doc.entries)
        if (e.kind == registry::RegEntry::Kind::CreateKey && IsTestArea(e.path))
            seededAreas_.emplace_back(registry::RootKey(e.root), JoinPath(e.path));
    DeleteAreas(seededAreas_);
    // Exactly the bytes of the text, also for a string without its zero; one open per key.
    if (std::string err = registry::ImportRegText(text, "test registry text"); !err.empty())
        throw std::runtime_error(err);
}

void TempRegistry::ReleaseStore() {
    DeleteAreas(seededAreas_);
}

}  // namespace testsupport
