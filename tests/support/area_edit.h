#pragma once
// .reg text for the tests of the import file: an edited configuration is the original with keys
// taken out (as "&Apply" removes filters, levels, templates...) and values of every kind put in.
// Standard library only.

#include <string>
#include <vector>

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

// Changes every value of the keys `keys` below HKEY_LOCAL_MACHINE (and below them) through the
// registry: every 4-byte number one higher, every text one character longer, every value whose
// name holds a backslash (a path) renamed. A page loaded after it holds another state than the
// one it loaded before. Keys that are missing are left alone; false when a key could not be read
// or written.
bool ChangeEveryValue(const std::vector<std::string>& keys);

}  // namespace testsupport
