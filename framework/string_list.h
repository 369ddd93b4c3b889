#pragma once
// The string functions list boxes and drop-down lists share, written once over the few row
// operations each widget provides: sorted insertion without regard to case, prefix and whole-text
// search with wrap-around, selection by text.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <Qt>

namespace fw {

using ItemData = std::uintptr_t;

// Where list, drop-down, list view and tree rows keep their item data.
inline constexpr int kItemDataRole = Qt::UserRole + 1;

class StringList {
  public:
    virtual ~StringList() = default;

    bool IsSorted() const { return sorted_; }

    // Adds a row: at its sorted place in a sorted list, otherwise at the end. Returns its row.
    int AddString(const std::string& text);
    // Adds the rows of a fixed table in its order (each at its sorted place in a sorted list),
    // then selects the first row: a list that offers a constant choice.
    void AddTable(std::span<const std::string_view> rows);
    // Inserts at `row` without sorting (-1 or past the end: at the end). Returns the row.
    virtual int InsertString(int row, const std::string& text) = 0;
    // Deletes a row; returns the remaining count, or -1 if the row does not exist. Deleting the
    // selected row leaves no row selected.
    virtual int DeleteString(int row) = 0;
    virtual void ResetContent() = 0;

    virtual int GetCount() const = 0;
    // Text of a row; empty for a row that does not exist.
    virtual std::string GetText(int row) const = 0;

    // Selected row, -1 when none.
    virtual int GetCurSel() const = 0;
    // Selects `row` (-1 clears the selection). Returns the row, or -1 if it does not exist (the
    // selection is then cleared). Never notifies.
    virtual int SetCurSel(int row) = 0;

    // Prefix / whole-text search ignoring case, starting after `startAfter` and wrapping
    // (-1 = from the first row). Returns the row or -1.
    int FindString(int startAfter, const std::string& prefix) const;
    int FindStringExact(int startAfter, const std::string& text) const;
    // FindString, then selects the row found (the selection is unchanged when none is found).
    int SelectString(int startAfter, const std::string& prefix);

    // Value kept with a row; 0 for rows that were never given one. False if the row does not exist.
    virtual bool SetItemData(int row, ItemData value) = 0;
    virtual ItemData GetItemData(int row) const = 0;

  protected:
    explicit StringList(bool sorted) : sorted_(sorted) {}

    // What the lists show as their control text: the selected row's text (empty when none), and
    // selecting the first row that starts with a text.
    std::string SelectedText() const { return GetText(GetCurSel()); }
    void SelectText(const std::string& text) { SelectString(-1, text); }

  private:
    bool sorted_;
};

}  // namespace fw
