#pragma once
// Conversion between the program's 8-bit strings and Qt's strings. The program's strings are in
// Windows-1252, the registry's ANSI code page. Every byte maps to one character and back (the five
// bytes the code page leaves unassigned map to the control characters of the same number), so
// text read from the store survives a round trip unchanged.

#include <QString>
#include <string>
#include <string_view>

namespace fw {

QString ToQt(std::string_view text);

// Characters outside Windows-1252 become '?', one for each character.
std::string FromQt(const QString& text);

}  // namespace fw
