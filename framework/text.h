#pragma once
// Conversion between the program's 8-bit single-byte strings and Qt's strings. Latin-1 maps every
// byte to one character and back, so text read from the store survives a round trip unchanged.

#include <QString>
#include <string>
#include <string_view>

namespace fw {

inline QString ToQt(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters outside Latin-1 become '?'.
inline std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace fw
