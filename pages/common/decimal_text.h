#pragma once
// Reading a number out of text the way the C library's atoi does, without its overflow hazard.

#include <cstdint>
#include <string_view>

namespace common {

// Leading blanks and one sign are allowed; reading stops at the first non-digit; no digit gives 0.
// Values beyond the 64-bit range saturate instead of overflowing.
std::int64_t AtoiRule(std::string_view text);

// The atoi rule, saturated to the 32-bit signed range.
std::int32_t AtoiRule32(std::string_view text);

// The atoi rule, saturated to 0..4294967295 (a REG_DWORD).
std::uint32_t AtoiRuleUnsigned32(std::string_view text);

}  // namespace common
