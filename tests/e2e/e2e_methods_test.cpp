// The Methods and User Methods pages end to end: keyboard only, on a copy of the sample.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace {

using namespace e2e;

constexpr char kModulProc[] =
    "software\\vorna roboter gmbh\\vorna opx\\ocx control's\\ostrix\\modulproc";

std::string Dword(std::uint32_t value) {
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (int byte = 0; byte < 4; ++byte) {
        const unsigned b = (value >> (8 * byte)) & 0xffu;
        text += hex[b >> 4];
        text += hex[b & 15];
    }
    return text;
}

std::string Text(const std::string& text) {
    static const char* hex = "0123456789abcdef";
    std::string data;
    for (unsigned char c : text) {
        data += hex[c >> 4];
        data += hex[c & 15];
    }
    return data + "00";
}

std::vector<std::string> Sorted(std::vector<std::string> values) {
    std::sort(values.begin(), values.end());
    return values;
}

TEST_F(EndToEnd, ToggleConditionsOnTheMethodsPageRenameAUserMethodApplyBoth) {
    const Dump before = ReadStore(file_);
    const std::string method2 = std::string(kModulProc) + "\\2";
    const std::string slot90 = std::string(kModulProc) + "\\90";
    ASSERT_EQ(before.count(method2), 1u) << "the sample has no method 2";
    ASSERT_EQ(before.at(method2),
              Sorted({"|1|" + Text("New"), "itemconditions|4|" + Dword(0x40000700),
                      "systemconditions|4|" + Dword(0x0300c900)}))
        << "the sample's method 2 has changed";
    ASSERT_EQ(before.count(slot90), 1u);
    for (int n = 94; n <= 99; ++n) {
        ASSERT_EQ(before.count(std::string(kModulProc) + "\\" + std::to_string(n)), 0u)
            << "the sample must leave user method " << n << " unset";
    }

    ASSERT_FALSE(Start().isEmpty()) << "main window did not appear";
    // "&3 Methods": the methods list has the focus; Down selects method 2. Tab moves to the
    // system conditions, whose first row Space toggles; then the item conditions, whose last
    // row ("Protected File", bit 11) End selects and Space toggles.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("3")}));
    ASSERT_TRUE(Keys({QStringLiteral("Down"), QStringLiteral("Tab"), QStringLiteral("space"),
                      QStringLiteral("Tab"), QStringLiteral("End"), QStringLiteral("space")}));
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    // "&4 User Methods": Tab from the list into the name edit selects its text; the first user
    // method gets a new name.
    ASSERT_TRUE(Keys({QStringLiteral("alt+t"), QStringLiteral("4")}));
    ASSERT_TRUE(
        Keys({QStringLiteral("Tab"), QStringLiteral("B"), QStringLiteral("a"), QStringLiteral("c"),
              QStringLiteral("k"), QStringLiteral("u"), QStringLiteral("p")}));
    ASSERT_TRUE(Keys({QStringLiteral("alt+a")}));
    ASSERT_TRUE(Running()) << "the program ended on Apply";
    ASSERT_TRUE(Keys({QStringLiteral("alt+x")}));
    ASSERT_TRUE(EndsCleanly()) << "the program did not end on Alt+X";

    const Dump after = ReadStore(file_);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.at(method2),
              Sorted({"|1|" + Text("New"), "itemconditions|4|" + Dword(0x40000f00),
                      "systemconditions|4|" + Dword(0x0300c901)}));
    // The user method keeps its conditions and takes the new name.
    std::vector<std::string> renamed = before.at(slot90);
    for (std::string& value : renamed) {
        if (value.rfind("|1|", 0) == 0) {
            value = "|1|" + Text("Backup");
        }
    }
    EXPECT_EQ(after.at(slot90), Sorted(renamed));
    // The user methods the sample leaves unset are created with their defaults.
    const std::vector<std::string> levelFlags = {"active|4|" + Dword(1), "askbefore|4|" + Dword(1)};
    for (int n = 94; n <= 99; ++n) {
        const std::string key = std::string(kModulProc) + "\\" + std::to_string(n);
        auto it = after.find(key);
        ASSERT_NE(it, after.end()) << "not created: " << key;
        EXPECT_EQ(it->second,
                  Sorted({"|1|" + Text("ModulProc" + std::to_string(n)),
                          "itemconditions|4|" + Dword(0), "systemconditions|4|" + Dword(0)}));
        for (const char* level : {"admin", "default", "demo", "expert", "user"}) {
            auto flags = after.find(key + "\\" + level);
            ASSERT_NE(flags, after.end()) << key << "\\" << level;
            EXPECT_EQ(flags->second, levelFlags) << key << "\\" << level;
        }
    }
    // Every other key, other method keys included, is exactly as it was.
    std::vector<std::string> changed = {method2, slot90};
    for (int n = 94; n <= 99; ++n) {
        changed.push_back(std::string(kModulProc) + "\\" + std::to_string(n));
    }
    ExpectUnchangedOutside(before, after, changed);
}

}  // namespace
