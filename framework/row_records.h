#pragma once
// A list whose row i shows record i of a page's record list, so the two change together and the
// selection is a record: pages add, find and remove records through it instead of keeping row
// numbers and record indexes in step by hand. The records stay where the page keeps them (its
// standard-library area types); this only holds on to them and to the list's id.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/dialog.h"
#include "framework/string_list.h"

namespace fw {

template <class Record>
class RowRecords {
  public:
    using Records = std::vector<std::unique_ptr<Record>>;
    using TextOf = std::function<std::string(const Record&)>;

    // The list is control `listId` of `dialog` (looked up when used, so the helper can be made
    // before the dialog's controls); `text` is what a record's row shows.
    RowRecords(const Dialog& dialog, int listId, Records& records, TextOf text)
        : dialog_(dialog), listId_(listId), records_(records), text_(std::move(text)) {}

    StringList& List() const { return dialog_.Item<StringList>(listId_); }
    int Count() const { return static_cast<int>(records_.size()); }

    // Empties the list and gives every record its row, in order; nothing is selected.
    void Fill() {
        StringList& list = List();
        list.ResetContent();
        for (const auto& record : records_) {
            list.AddString(text_(*record));
        }
    }

    // The record of `row` (of the selected row); null when there is none.
    Record* At(int row) const {
        const bool inStep = row >= 0 && row < Count() && row < List().GetCount();
        return inStep ? records_[static_cast<std::size_t>(row)].get() : nullptr;
    }
    Record* Selected() const { return At(List().GetCurSel()); }
    int SelectedRow() const { return List().GetCurSel(); }

    // The row of `record`; -1 when it is not one of the records.
    int RowOf(const Record* record) const {
        const auto found = std::find_if(records_.begin(), records_.end(),
                                        [record](const auto& r) { return r.get() == record; });
        return found == records_.end() ? -1 : static_cast<int>(found - records_.begin());
    }

    // Selects the row of `record` (none, for null or a stranger). Never notifies.
    void Select(const Record* record) { List().SetCurSel(RowOf(record)); }

    // Appends the record and its row and selects it.
    Record& Add(std::unique_ptr<Record> record) {
        Record& added = *record;
        records_.push_back(std::move(record));
        List().SetCurSel(List().InsertString(-1, text_(added)));
        return added;
    }

    // Destroys the record of `row` and deletes its row, then selects the record now at that
    // place, else the new last one, and returns it (null when none is left or `row` is none).
    Record* RemoveAt(int row) {
        if (At(row) == nullptr) {
            return nullptr;
        }
        records_.erase(records_.begin() + row);
        StringList& list = List();
        list.DeleteString(row);
        list.SetCurSel(std::min(row, list.GetCount() - 1));
        return Selected();
    }
    Record* Remove(const Record* record) { return RemoveAt(RowOf(record)); }

    // Shows the record's text again (after a rename); its row stays selected if it was.
    void Refresh(const Record* record) {
        const int row = RowOf(record);
        if (row < 0) {
            return;
        }
        StringList& list = List();
        const bool selected = list.GetCurSel() == row;
        list.DeleteString(row);
        list.InsertString(row, text_(*record));
        if (selected) {
            list.SetCurSel(row);
        }
    }

  private:
    const Dialog& dialog_;
    int listId_;
    Records& records_;
    TextOf text_;
};

// The selected row's text of a list offering a constant choice, the selection moved on to the
// next row (the first after the last) so that adding again adds the next one. None when no row
// is selected.
inline std::optional<std::string> TakeRowAndAdvance(StringList& list) {
    const int row = list.GetCurSel();
    if (row < 0) {
        return std::nullopt;
    }
    std::string text = list.GetText(row);
    list.SetCurSel(row + 1 < list.GetCount() ? row + 1 : 0);
    return text;
}

}  // namespace fw
