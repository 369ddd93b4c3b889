#include "framework/text.h"

#include <array>

namespace fw {
namespace {

// Characters of the bytes 0x80..0x9F; the rest of the code page equals Latin-1. The unassigned
// bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D stand for the control characters of the same number, as
// in the registry's own conversion, so that no byte is lost.
constexpr std::array<char16_t, 32> kHighCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t CharacterOfByte(unsigned char byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kHighCharacters[byte - 0x80] : char16_t{byte};
}

// The byte of a character, or '?' when the code page has none.
char ByteOfCharacter(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<char>(character);
    }
    for (size_t i = 0; i < kHighCharacters.size(); ++i) {
        if (kHighCharacters[i] == character) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

}  // namespace

QString ToQt(std::string_view text) {
    QString result(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* out = result.data();
    for (const char c : text) {
        *out++ = QChar(CharacterOfByte(static_cast<unsigned char>(c)));
    }
    return result;
}

std::string FromQt(const QString& text) {
    std::string result;
    result.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A character beyond the 16-bit range is one character: one '?' for the pair.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            result.push_back('?');
            continue;
        }
        result.push_back(ByteOfCharacter(c.unicode()));
    }
    return result;
}

}  // namespace fw
