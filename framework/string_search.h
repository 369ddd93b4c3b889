#pragma once
// Case-insensitive comparison and the platform's list search rules, shared by list and combo boxes.

#include <functional>
#include <string>
#include <string_view>

namespace fw {

// Compares without regard to letter case (ASCII letters); <0, 0, >0.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

enum class Match { Prefix, Exact };

// Searches rows startAfter+1 .. count-1, then wraps to 0 .. startAfter, for the first row whose
// text begins with (Prefix) or equals (Exact) `text`, ignoring case. startAfter -1 (or any value
// outside 0..count-1) searches the whole list from row 0. Returns the row or -1.
int FindRow(int count, const std::function<std::string(int)>& rowText, int startAfter,
            std::string_view text, Match match);

// Row at which a sorted list inserts `text`: after every row that compares less or equal,
// ignoring case.
int SortedInsertRow(int count, const std::function<std::string(int)>& rowText,
                    std::string_view text);

}  // namespace fw
