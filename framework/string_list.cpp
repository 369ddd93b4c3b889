#include "framework/string_list.h"

#include "framework/string_search.h"

namespace fw {

int StringList::AddString(const std::string& text) {
    const int count = GetCount();
    const int row = sorted_ ? SortedInsertRow(
                                  count, [this](int r) { return GetText(r); }, text)
                            : count;
    return InsertString(row, text);
}

void StringList::AddTable(std::span<const std::string_view> rows) {
    for (std::string_view text : rows) {
        AddString(std::string(text));
    }
    SetCurSel(0);
}

int StringList::FindString(int startAfter, const std::string& prefix) const {
    return FindRow(
        GetCount(), [this](int r) { return GetText(r); }, startAfter, prefix, Match::Prefix);
}

int StringList::FindStringExact(int startAfter, const std::string& text) const {
    return FindRow(
        GetCount(), [this](int r) { return GetText(r); }, startAfter, text, Match::Exact);
}

int StringList::SelectString(int startAfter, const std::string& prefix) {
    const int row = FindString(startAfter, prefix);
    if (row >= 0) {
        SetCurSel(row);
    }
    return row;
}

}  // namespace fw
