#pragma once
// Reading single values the way the pages' loads need them: text however long it is, a value's
// raw type and bytes, and numbers. Standard library only, on the Reg*A entry points.

#include <cstdint>
#include <optional>
#include <string>

#include "registry/reg_text.h"
#include "registry/win_registry.h"

namespace registry {

// The checked string query (RegistryKey::QueryString) into a buffer of `firstBufferSize` bytes,
// asked again with a buffer of the value's own size when the text does not fit, so a long
// entry is read whole and never cut. 0 and the text, or nonzero and an empty text when the value
// is missing or no properly terminated string (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ).
LONG QueryWholeString(HKEY key, const char* valueName, std::string* text,
                      DWORD firstBufferSize = 100);

// The value's type and bytes exactly as stored (its name as asked); none when it does not
// exist or cannot be read.
std::optional<RegValue> QueryStoredValue(HKEY key, const char* valueName);

// A value of at most 4 bytes read as a little-endian number, whatever its type; none when it is
// missing, empty or longer than 4 bytes.
std::optional<std::uint32_t> QueryNumber(HKEY key, const char* valueName);

// A REG_DWORD value of exactly 4 bytes; none for a value of any other type or size.
std::optional<std::uint32_t> QueryDword(HKEY key, const char* valueName);

// A value of exactly 4 bytes read as a little-endian number, whatever its type; none for a
// value that is missing or of any other size.
std::optional<std::uint32_t> QueryFourBytes(HKEY key, const char* valueName);

// A stored value (as enumerated or snapshotted) that is a REG_DWORD of exactly 4 bytes, as its
// number; none for a value of any other type or size.
std::optional<std::uint32_t> DwordOf(const RegValue& value);

// What QueryWholeString and QueryNumber give for a value already read (as enumerated or
// snapshotted; null when there is no such value), so a load from a snapshot reads as the
// queries do.
LONG WholeStringOf(const RegValue* value, std::string* text);
std::optional<std::uint32_t> NumberOf(const RegValue* value);

}  // namespace registry
