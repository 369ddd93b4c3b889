// The Archive Manager page end to end: keyboard only, on a copy of the sample.

#include <QStringList>

#include "tests/e2e/e2e_fixture.h"

namespace {

using namespace e2e;

constexpr char kConfigArea[] = "software\\vorna roboter gmbh\\quorin3\\manager\\archive\\config";

QStringList Repeated(const QString& key, int times) {
    QStringList keys;
    for (int i = 0; i < times; ++i)
        keys << key;
    return keys;
}

TEST_F(EndToEnd, AddAConfigurationWithARegistrySourcePickedByKeyboardAndApply) {
    const Dump before = ReadStore(file_);
    const std::string nightly = std::string(kConfigArea) + "\\nightly";
    ASSERT_TRUE(before.count(std::string(kConfigArea) + "\\all")) << "the sample has no All";
    ASSERT_FALSE(before.count(nightly));

    ASSERT_FALSE(Start().isEmpty()) << "main window did not appear";
    // "&7 Archive Manager": the page's first control, the Name edit, gets the focus.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("7")}));
    // Name, Path, Remove path name, Browse for path, the two path lists, Add path, Remove path,
    // the configurations: the tenth control is the "New archive configuration" edit.
    ASSERT_TRUE(Keys(Repeated(QStringLiteral("Tab"), 9)));
    ASSERT_TRUE(
        Keys({QStringLiteral("n"), QStringLiteral("i"), QStringLiteral("g"), QStringLiteral("h"),
              QStringLiteral("t"), QStringLiteral("l"), QStringLiteral("y")}));
    // "Add to available", then past "Remove config" and the registry sources to "Add reg
    // source", which opens the picker.
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("space")}));
    ASSERT_TRUE(Keys(Repeated(QStringLiteral("Tab"), 3)));
    ASSERT_TRUE(Keys({QStringLiteral("space")}));
    const QString picker = XdoTool({QStringLiteral("search"), QStringLiteral("--sync"),
                                    QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                    QStringLiteral("^Select registry sources$")},
                                   15000)
                               .value_or(QString());
    ASSERT_FALSE(picker.isEmpty()) << "the registry source picker did not appear";
    // From the typed entry into the tree, down to HKEY_LOCAL_MACHINE, Software, VORNA Customer,
    // Cell 3, opening each on the way; Space checks it, Enter is OK.
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("Right"), QStringLiteral("Down"),
                      QStringLiteral("Right"), QStringLiteral("Down"), QStringLiteral("Right"),
                      QStringLiteral("Down"), QStringLiteral("space"), QStringLiteral("Return")}));
    ASSERT_TRUE(Running()) << "Enter in the picker closed the program";
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));  // "&Apply"
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    const Dump after = ReadStore(file_);
    ASSERT_FALSE(after.empty());
    // The new configuration with the picked key (REG_SZ, empty) and no file sources.
    ASSERT_TRUE(after.count(nightly + "\\registrysource")) << "the configuration was not written";
    EXPECT_EQ(
        after.at(nightly + "\\registrysource"),
        (std::vector<std::string>{"hkey_local_machine\\software\\vorna customer\\cell 3|1|00"}));
    EXPECT_TRUE(after.count(nightly + "\\filesource"));
    EXPECT_TRUE(after.at(nightly + "\\filesource").empty());
    // Apply rewrote the rest of the area with the very same data, and touched nothing else.
    ExpectUnchangedOutside(before, after, {nightly});
}

}  // namespace
