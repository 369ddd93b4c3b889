#include "framework/string_search.h"

#include <algorithm>

namespace fw {
namespace {

unsigned char Lower(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = Lower(a[i]);
        const unsigned char cb = Lower(b[i]);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

int FindRow(int count, const std::function<std::string(int)>& rowText, int startAfter,
            std::string_view text, Match match) {
    if (count <= 0) {
        return -1;
    }
    const int first = (startAfter >= 0 && startAfter < count) ? startAfter + 1 : 0;
    for (int i = 0; i < count; ++i) {
        const int row = (first + i) % count;
        const std::string candidate = rowText(row);
        const bool found = match == Match::Exact ? EqualNoCase(candidate, text)
                                                 : StartsWithNoCase(candidate, text);
        if (found) {
            return row;
        }
    }
    return -1;
}

int SortedInsertRow(int count, const std::function<std::string(int)>& rowText,
                    std::string_view text) {
    // Binary search for the first row that sorts after `text`.
    int low = 0;
    int high = count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (CompareNoCase(rowText(mid), text) <= 0) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

}  // namespace fw
