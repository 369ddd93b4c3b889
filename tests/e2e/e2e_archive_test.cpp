// The Archive Manager page end to end: keyboard only, on a copy of the sample.

#include <QStringList>

#include "tests/e2e/e2e_page_edits.h"

namespace {

using namespace e2e;

constexpr char kConfigArea[] = "software\\vorna roboter gmbh\\quorin3\\manager\\archive\\config";

// Adds the configuration Nightly with one registry source picked in the source picker.
void AddAConfigurationWithARegistrySource(EndToEnd& program) {
    // "&7 Archive Manager": the page's first control, the Name edit, gets the focus.
    ASSERT_TRUE(program.Keys({QStringLiteral("alt+t"), QStringLiteral("7")}));
    // Name, Path, Remove path name, Browse for path, the two path lists, Add path, Remove path,
    // the configurations: the tenth control is the "New archive configuration" edit.
    ASSERT_TRUE(program.Keys(Repeated(QStringLiteral("Tab"), 9)));
    ASSERT_TRUE(program.Keys({QStringLiteral("n"), QStringLiteral("i"), QStringLiteral("g"),
                              QStringLiteral("h"), QStringLiteral("t"), QStringLiteral("l"),
                              QStringLiteral("y")}));
    // "Add to available", then past "Remove config" and the registry sources to "Add reg
    // source", which opens the picker.
    ASSERT_TRUE(program.Keys({QStringLiteral("Tab"), QStringLiteral("space")}));
    ASSERT_TRUE(program.Keys(Repeated(QStringLiteral("Tab"), 3)));
    ASSERT_TRUE(program.Keys({QStringLiteral("space")}));
    ASSERT_FALSE(program.WaitForWindow(QStringLiteral("^Select registry sources$")).isEmpty())
        << "the registry source picker did not appear";
    // From the typed entry into the tree, down to HKEY_LOCAL_MACHINE, Software, VORNA Customer,
    // Cell 3, opening each on the way; Space checks it, Enter is OK.
    ASSERT_TRUE(
        program.Keys({QStringLiteral("Tab"), QStringLiteral("Right"), QStringLiteral("Down"),
                      QStringLiteral("Right"), QStringLiteral("Down"), QStringLiteral("Right"),
                      QStringLiteral("Down"), QStringLiteral("space"), QStringLiteral("Return")}));
    ASSERT_TRUE(program.Running()) << "Enter in the picker closed the program";
}

void ExpectTheNewConfiguration(const Dump& before, Dump& expected) {
    const std::string nightly = std::string(kConfigArea) + "\\nightly";
    ASSERT_TRUE(before.count(std::string(kConfigArea) + "\\all")) << "the sample has no All";
    ASSERT_FALSE(before.count(nightly));
    // The picked key (REG_SZ, empty) and no file sources. Apply rewrites the rest of the area
    // with the very same data.
    expected[nightly] = {};
    expected[nightly + "\\registrysource"] = {
        TextEntry("HKEY_LOCAL_MACHINE\\Software\\VORNA Customer\\Cell 3", "")};
    expected[nightly + "\\filesource"] = {};
}

}  // namespace

namespace e2e {
const PageEdit kArchiveEdit = {"Archive Manager", &AddAConfigurationWithARegistrySource,
                               &ExpectTheNewConfiguration};
}  // namespace e2e

namespace {

TEST_F(EndToEnd, AddAConfigurationWithARegistrySourcePickedByKeyboardAndApply) {
    RunEdits({&kArchiveEdit});
}

}  // namespace
