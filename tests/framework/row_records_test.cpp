// A list's rows and the records behind them changing together, and taking a row of a constant
// choice.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/row_records.h"
#include "tests/framework/page_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

using namespace res::t900;

struct Record {
    std::string name;
};

class RowRecordsTest : public fwtest::PageFixture {};

TEST_F(RowRecordsTest, RowsFollowTheRecordsAndTheSelectionIsARecord) {
    enum class Op { RemoveSelected, Add, Rename, DropRow };
    const struct {
        const char* what;
        int selectedRow;  // selected before the operation
        Op op;
        std::vector<std::string> rows;  // rows and records after it, in order
        const char* selected;           // record selected after it (null: none)
        const char* returned;           // what Remove returned (null: none)
    } cases[] = {
        {"the next one takes the removed one's place", 1, Op::RemoveSelected, {"a", "c"}, "c", "c"},
        {"after the last comes the new last", 2, Op::RemoveSelected, {"a", "b"}, "b", "b"},
        {"nothing selected removes nothing",
         -1,
         Op::RemoveSelected,
         {"a", "b", "c"},
         nullptr,
         nullptr},
        {"an added record is appended and selected",
         0,
         Op::Add,
         {"a", "b", "c", "d"},
         "d",
         nullptr},
        {"a renamed record keeps its row and selection",
         1,
         Op::Rename,
         {"a", "B", "c"},
         "B",
         nullptr},
        // A record without a row is no row's record, and cannot be removed through one.
        {"rows and records out of step", 2, Op::DropRow, {"a", "b"}, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        std::vector<std::unique_ptr<Record>> records;
        for (const char* name : {"a", "b", "c"}) {
            records.push_back(std::make_unique<Record>(Record{name}));
        }
        fw::RowRecords<Record> rows(*page, kPlainList, records,
                                    [](const Record& r) { return r.name; });
        rows.Fill();
        rows.List().SetCurSel(c.selectedRow);
        const Record* returned = nullptr;
        switch (c.op) {
            case Op::RemoveSelected:
                returned = rows.RemoveAt(rows.SelectedRow());
                break;
            case Op::Add:
                rows.Add(std::make_unique<Record>(Record{"d"}));
                break;
            case Op::Rename:
                records[1]->name = "B";
                rows.Refresh(records[1].get());
                break;
            case Op::DropRow:
                rows.List().DeleteString(2);
                rows.List().SetCurSel(2);
                returned = rows.RemoveAt(2);
                records.pop_back();
                break;
        }
        EXPECT_EQ(uikit::Rows(*page, kPlainList), c.rows) << c.what;
        std::vector<std::string> names;
        for (const auto& record : records) {
            names.push_back(record->name);
        }
        EXPECT_EQ(names, c.rows) << c.what;
        const Record* selected = rows.Selected();
        EXPECT_EQ(selected != nullptr ? selected->name : "(none)",
                  c.selected != nullptr ? c.selected : "(none)")
            << c.what;
        EXPECT_EQ(returned != nullptr ? returned->name : "(none)",
                  c.returned != nullptr ? c.returned : "(none)")
            << c.what;
        if (selected != nullptr) {
            EXPECT_EQ(rows.RowOf(selected), rows.SelectedRow()) << c.what;
        }
    }

    // A constant choice: the selected row is taken and the next one selected, the first after
    // the last.
    auto& list = page->Item<fw::ListBox>(kPlainList);
    list.ResetContent();
    list.AddString("x");
    list.AddString("y");
    EXPECT_EQ(fw::TakeRowAndAdvance(list), std::nullopt);
    list.SetCurSel(0);
    EXPECT_EQ(fw::TakeRowAndAdvance(list), "x");
    EXPECT_EQ(fw::TakeRowAndAdvance(list), "y");
    EXPECT_EQ(list.GetCurSel(), 0);
}

}  // namespace
