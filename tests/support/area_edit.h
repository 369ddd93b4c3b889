#pragma once
// .reg text for the tests of the import file: an edited configuration is the original with keys
// taken out (as "&Apply" removes filters, levels, templates...) and values of every kind put in.
// Standard library only.

#include <string>

namespace testsupport {

// `text` without the key `keyPath` ("HKEY_LOCAL_MACHINE\...", without brackets) and every key
// below it: each "[...]" block (the line and the value lines after it) whose path is the key or
// lies below it, compared without regard to case. Comments and other blocks stay.
std::string WithoutKeys(const std::string& text, const std::string& keyPath);

// The value lines (REGEDIT4, "\r\n" line ends) of one value of every kind a key can hold: text
// with quotes, backslashes and Windows-1252 letters, empty text, the unnamed value, strings
// without their zero, with a zero or a line break inside, expandable and multiple strings,
// binary long enough to be wrapped, numbers of 4 and of other sizes, 64-bit numbers, no type and
// a type of no name.
extern const char kEveryValueKind[];

}  // namespace testsupport
