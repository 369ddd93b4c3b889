// Reading single values as the pages' loads do: long texts whole, numbers only where the stored
// bytes really are one. Runs against the .reg file store and, on Windows, the system registry.

#include "registry/value_query.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "registry/key_snapshot.h"
#include "registry/registry_key.h"
#include "tests/support/registry_fixture.h"

namespace {

const std::string kPath = "Software\\VORNA Roboter GmbH\\Test";

TEST(ValueQueryTest, TextsAndNumbersAsStored) {
    const std::string longText(5000, 't');
    testsupport::TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + kPath +
                                  "]\n"
                                  "\"short\"=\"abc\"\n"
                                  "\"long\"=\"" +
                                  longText +
                                  "\"\n"
                                  "\"unterminated\"=hex(1):61,62\n"
                                  "\"dword\"=dword:0000002a\n"
                                  "\"word\"=hex(4):2a,00\n"
                                  "\"qword\"=hex(4):2a,00,00,00,00,00,00,00\n"
                                  "\"binary4\"=hex:2a,00,00,00\n"
                                  "\"number as text\"=\"42\"\n"
                                  "\"empty\"=hex(1):\n"
                                  "\"inner zero\"=hex(1):61,00,62,00\n"
                                  "\"multi\"=hex(7):61,00,62,00,00\n"
                                  "\"multi unended\"=hex(7):61,00\n"
                                  "\"expand\"=hex(2):25,41,25,00\n");
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kPath.c_str()), ERROR_SUCCESS);
    // A load from a snapshot reads each value as these queries do.
    registry::KeySnapshot read;
    ASSERT_EQ(registry::ReadKeyValues(key, &read), ERROR_SUCCESS);

    struct TextCase {
        const char* name;
        bool ok;
        std::string text;
    };
    const TextCase texts[] = {
        {"short", true, "abc"},    {"long", true, longText}, {"unterminated", false, ""},
        {"dword", false, ""},      {"missing", false, ""},   {"empty", true, ""},
        {"inner zero", true, "a"}, {"multi", true, "a"},     {"multi unended", false, ""},
        {"expand", true, "%A%"},
    };
    for (const TextCase& c : texts) {
        std::string text = "stale";
        EXPECT_EQ(registry::QueryWholeString(key, c.name, &text) == ERROR_SUCCESS, c.ok) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
        text = "stale";
        EXPECT_EQ(registry::WholeStringOf(read.FindValue(c.name), &text) == ERROR_SUCCESS, c.ok)
            << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }

    struct NumberCase {
        const char* name;
        std::optional<std::uint32_t> number;     // any type of at most 4 bytes
        std::optional<std::uint32_t> dword;      // REG_DWORD of exactly 4 bytes
        std::optional<std::uint32_t> fourBytes;  // any type of exactly 4 bytes
    };
    const NumberCase numbers[] = {
        {"dword", 42, 42, 42},
        {"word", 42, std::nullopt, std::nullopt},
        {"qword", std::nullopt, std::nullopt, std::nullopt},
        {"binary4", 42, std::nullopt, 42},
        // Its bytes are "42" and the terminating zero.
        {"number as text", 0x3234, std::nullopt, std::nullopt},
        {"missing", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const NumberCase& c : numbers) {
        EXPECT_EQ(registry::QueryNumber(key, c.name), c.number) << c.name;
        EXPECT_EQ(registry::NumberOf(read.FindValue(c.name)), c.number) << c.name;
        EXPECT_EQ(registry::QueryDword(key, c.name), c.dword) << c.name;
        EXPECT_EQ(registry::QueryFourBytes(key, c.name), c.fourBytes) << c.name;
    }

    const auto stored = registry::QueryStoredValue(key, "unterminated");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<std::uint32_t>(REG_SZ));
    EXPECT_EQ(stored->data, (std::vector<std::uint8_t>{'a', 'b'}));
    EXPECT_FALSE(registry::QueryStoredValue(key, "missing").has_value());
}

TEST(ValueQueryTest, EnumeratedValuesComeWholeHoweverLong) {
    const std::string longName(400, 'n');
    testsupport::TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + kPath + "]\n\"" + longName + "\"=\"" +
                                  std::string(3000, 'd') + "\"\n");
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kPath.c_str()), ERROR_SUCCESS);
    registry::RegValue value;
    ASSERT_EQ(registry::ReadValue(key, 0, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.name, longName);
    EXPECT_EQ(value.data.size(), 3001u);
    EXPECT_EQ(registry::ReadValue(key, 1, &value), ERROR_NO_MORE_ITEMS);
}

}  // namespace
