#include "pages/common/decimal_text.h"

#include <limits>

namespace common {

std::int64_t AtoiRule(std::string_view text) {
    std::size_t i = 0;
    // The same blanks isspace accepts in the "C" locale.
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;  // accumulated as a negative number so the minimum fits too
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value < (std::numeric_limits<std::int64_t>::min() + digit) / 10) {
            return negative ? std::numeric_limits<std::int64_t>::min() : kMax;
        }
        value = value * 10 - digit;
    }
    if (negative) {
        return value;
    }
    return value == std::numeric_limits<std::int64_t>::min() ? kMax : -value;
}

std::int32_t AtoiRule32(std::string_view text) {
    const std::int64_t value = AtoiRule(text);
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

std::uint32_t AtoiRuleUnsigned32(std::string_view text) {
    const std::int64_t value = AtoiRule(text);
    if (value < 0) {
        return 0;
    }
    if (value > std::int64_t{std::numeric_limits<std::uint32_t>::max()}) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace common
