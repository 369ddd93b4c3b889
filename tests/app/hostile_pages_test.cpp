// Every page on a hostile registry: each value the pages read given the wrong type, a wrong size
// (a 2- or 8-byte REG_DWORD, a string without its zero, a REG_MULTI_SZ), 300 or 70,000
// characters, a name beyond ASCII, or taken away, with overlong and non-ASCII keys beside them.
// Each page loads it with defined values and no crash, "&Apply" and a reload give the same state
// and write the same file again, and nothing outside the page's areas changes. Then a seeded
// monkey clicks, types and presses keys on every page and picker, answering every message box at
// random; afterwards "&Apply" still leaves a file that loads.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/page_table.h"
#include "framework/dialog.h"
#include "framework/ui_service.h"
#include "registry/file_store.h"
#include "registry/reg_text.h"
#include "tests/support/page_harness.h"
#include "tests/support/reg_model.h"
#include "tests/support/ui_kit.h"

namespace {

using registry::RegEntry;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

const std::string kOstrix = "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\";
const std::string kManager = "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\";

// The areas each page of the program's table writes, in tab order.
const std::vector<std::vector<std::string>>& OwnedAreas() {
    static const std::vector<std::vector<std::string>> areas = {
        {kOstrix + "Display"},
        {kOstrix + "Filter", kOstrix + "FilterList"},
        {kOstrix + "ModulProc"},
        {kOstrix + "ModulProc"},
        {kOstrix + "Template", kOstrix + "TemplateList"},
        {kManager + "Upgrade", "Software\\VORNA Roboter GmbH\\Version"},
        {kManager + "Archive"},
        {kManager + "Archive"},
        {kOstrix + "PreDefinedTree", kOstrix + "BackUp", kManager + "File"},
    };
    return areas;
}

bool StartsWithNoCase(const std::string& path, const std::string& prefix) {
    return path.size() >= prefix.size() &&
           registry::NamesEqual(std::string_view(path).substr(0, prefix.size()), prefix) &&
           (path.size() == prefix.size() || path[prefix.size()] == '\\');
}

std::string JoinPath(const RegEntry& e) {
    std::string path;
    for (const std::string& p : e.path)
        path += (path.empty() ? "" : "\\") + p;
    return path;
}

// A hostile copy of the sample: value number i of the program's keys gets treatment
// (i + variant) % 10; every area gets odd keys and values beside them.
std::string HostileConfiguration(int variant) {
    registry::RegDocument doc;
    EXPECT_EQ(registry::ParseRegText(ReadFile(VLX_SAMPLE_FILE), "sample.reg", &doc), "");
    std::vector<RegEntry> out;
    int i = 0;
    std::vector<std::string> keysSeen;
    for (RegEntry e : doc.entries) {
        const std::string path = JoinPath(e);
        const bool ours = StartsWithNoCase(path, "Software\\VORNA Roboter GmbH");
        if (e.kind == RegEntry::Kind::CreateKey && ours)
            keysSeen.push_back(path);
        if (e.kind != RegEntry::Kind::SetValue || !ours) {
            out.push_back(e);
            continue;
        }
        const auto text = [](const std::string& s, bool zero) {
            std::vector<uint8_t> d(s.begin(), s.end());
            if (zero)
                d.push_back(0);
            return d;
        };
        switch ((i++ + variant) % 10) {
            case 0:  // the other type
                if (e.type == 4) {
                    e.type = 1;
                    e.data = text("12", true);
                } else {
                    e.type = 4;
                    e.data = {7, 0, 0, 0};
                }
                break;
            case 1:
                e.type = 4;
                e.data = {1, 0};
                break;
            case 2:
                e.type = 4;
                e.data = {1, 0, 0, 0, 0, 0, 0, 1};
                break;
            case 3:  // no terminating zero
                e.type = 1;
                if (!e.data.empty() && e.data.back() == 0)
                    e.data.pop_back();
                if (e.data.empty())
                    e.data = text("x", false);
                break;
            case 4:
                e.type = 7;
                e.data = text(std::string("one\0two\0", 8), true);
                break;
            case 5:
                e.type = 1;
                e.data = text(std::string(300, 'L'), true);
                break;
            case 6:  // the longest only now and then, so the file stays a few megabytes
                e.type = 1;
                e.data = text(std::string(i % 7 == 0 ? 70000 : 3000, 'H'), true);
                break;
            case 7:  // the name beyond ASCII (so the expected one is missing)
                e.valueName += "\xe9\x80";
                break;
            case 8:  // missing
                continue;
            default:  // REG_BINARY of the right bytes
                e.type = 3;
                break;
        }
        out.push_back(e);
    }
    for (size_t k = 0; k < keysSeen.size(); ++k) {
        const std::string& key = keysSeen[k];
        // Subkeys that overflow name buffers, names beyond ASCII, and odd values.
        auto add = [&](const std::string& sub, const std::string& name, uint32_t type,
                       std::vector<uint8_t> data) {
            RegEntry e;
            e.kind = RegEntry::Kind::SetValue;
            e.root = registry::RegRoot::LocalMachine;
            std::stringstream ss(key + (sub.empty() ? "" : "\\" + sub));
            for (std::string part; std::getline(ss, part, '\\');)
                e.path.push_back(part);
            e.valueName = name;
            e.type = type;
            e.data = std::move(data);
            out.push_back(e);
        };
        add(std::string(255, 'K'), std::string(300, 'n'), 1, {'v', 0});
        add("\xc4nderung \x80 \xfc", "\xe4", 4, {1, 0, 0, 0});
        add("", std::string(300, 'N'), 1, std::vector<uint8_t>(k % 25 == 0 ? 70000 : 300, 'D'));
        add("", "Caf\xe9", 7, {'a', 0, 0});
    }
    auto tree = std::make_unique<registry::RegTree>();
    registry::ApplyRegEntries(out, tree.get());
    return registry::WriteRegText(*tree, doc.format);
}

// The file without the page's areas, to see that nothing else changed.
std::string OutsideAreas(const std::string& bytes, const std::vector<std::string>& areas) {
    registry::RegDocument doc;
    EXPECT_EQ(registry::ParseRegText(bytes, "x.reg", &doc), "");
    std::vector<RegEntry> kept;
    for (const RegEntry& e : doc.entries) {
        bool owned = false;
        for (const std::string& a : areas)
            owned = owned || StartsWithNoCase(JoinPath(e), a);
        if (!owned)
            kept.push_back(e);
    }
    auto tree = std::make_unique<registry::RegTree>();
    registry::ApplyRegEntries(kept, tree.get());
    return registry::WriteRegText(*tree, doc.format);
}

// Everything a page shows: texts, check marks, list rows and their checks, selections.
std::string Shown(QWidget& page) {
    std::string out;
    for (QWidget* w : page.findChildren<QWidget*>()) {
        out += std::to_string(w->isEnabled()) + ":";
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            out += "edit " + edit->text().toStdString();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            out += "button " + button->text().toStdString() + std::to_string(button->isChecked());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            out += "combo " + std::to_string(combo->currentIndex());
            for (int i = 0; i < combo->count(); ++i)
                out += "|" + combo->itemText(i).toStdString();
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
            out += "view";
            std::vector<QModelIndex> stack = {QModelIndex()};
            QAbstractItemModel* model = view->model();
            while (model != nullptr && !stack.empty()) {
                const QModelIndex parent = stack.back();
                stack.pop_back();
                for (int r = 0; r < model->rowCount(parent); ++r) {
                    for (int c = 0; c < model->columnCount(parent); ++c) {
                        const QModelIndex index = model->index(r, c, parent);
                        out += "|" + index.data().toString().toStdString() + "/" +
                               index.data(Qt::CheckStateRole).toString().toStdString();
                    }
                    stack.push_back(model->index(r, 0, parent));
                }
            }
            if (view->currentIndex().isValid())
                out += " current " + std::to_string(view->currentIndex().row());
        } else {
            continue;
        }
        out += "\n";
    }
    return out;
}

class HostilePages : public ::testing::TestWithParam<int> {};

TEST_P(HostilePages, LoadApplyAndReloadKeepTheSameStateAndNothingElseChanges) {
    const std::string hostile = HostileConfiguration(GetParam());
    std::printf("hostile configuration %d: %zu bytes\n", GetParam(), hostile.size());
    const PageTable& table = DefaultPageTable();
    for (size_t p = 0; p < table.size(); ++p) {
        SCOPED_TRACE(table[p].label);
        testsupport::PageHarness h(hostile);
        h.Ui().SetDefaultAnswer(fw::MsgAnswer::Ok);
        CBasicDialogTab& page = h.CreatePage(table[p]);
        const std::string file = h.Registry().FilePath();
        const std::string loaded = Shown(page);
        EXPECT_EQ(loaded, Shown(page)) << "what a page shows is defined";

        h.Apply();
        const std::string applied = ReadFile(file);
        std::string error;
        ASSERT_NE(registry::FileStore::Open(file, &error), nullptr) << error;
        EXPECT_EQ(OutsideAreas(applied, OwnedAreas()[p]), OutsideAreas(hostile, OwnedAreas()[p]))
            << "a page changed what it does not own";
        // A page shows what it wrote, so a reload changes nothing, and applying what was read
        // writes the same bytes again.
        const std::string shownAfterApply = Shown(page);
        h.Restore();
        EXPECT_EQ(Shown(page), shownAfterApply) << "a reload shows what was applied";
        h.Apply();
        EXPECT_TRUE(ReadFile(file) == applied) << "applying what was read writes the same";
        h.Restore();
        EXPECT_EQ(Shown(page), shownAfterApply) << "a second reload shows the same";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTreatmentOfEveryValue, HostilePages, ::testing::Range(0, 10));

// Answers every message box with one of its buttons and drives every picker a few random steps
// before OK or Cancel.
class MonkeyUi : public fw::UiService {
  public:
    explicit MonkeyUi(std::mt19937* random) : random_(random), previous_(fw::SetUiService(this)) {}
    ~MonkeyUi() override { fw::SetUiService(previous_); }

    fw::MsgAnswer ShowMessage(const fw::MessageBoxRequest& request) override {
        ++boxes;
        const bool first = (*random_)() % 2 == 0;
        switch (request.buttons) {
            case fw::MsgButtons::OkCancel:
                return first ? fw::MsgAnswer::Ok : fw::MsgAnswer::Cancel;
            case fw::MsgButtons::YesNo:
                return first ? fw::MsgAnswer::Yes : fw::MsgAnswer::No;
            default:
                return fw::MsgAnswer::Ok;
        }
    }
    int RunModal(fw::Dialog& dialog) override;

    int boxes = 0;
    int pickers = 0;

  private:
    std::mt19937* random_;
    fw::UiService* previous_;
};

// One random act on a widget of `dialog`: a click, typed text, or a key.
void Act(QWidget& dialog, std::mt19937& random, bool allowEnd) {
    std::vector<QWidget*> widgets;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            // E&xit, OK and Cancel end what the monkey acts on; they come at the end.
            const QString text = button->text();
            if (!allowEnd && (text == "E&xit" || text == "OK" || text == "Cancel"))
                continue;
        } else if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w) &&
                   !qobject_cast<QAbstractItemView*>(w)) {
            continue;
        }
        widgets.push_back(w);
    }
    if (widgets.empty())
        return;
    QWidget* w = widgets[random() % widgets.size()];
    static const char* const kTexts[] = {"",
                                         "a",
                                         "Caf\xc3\xa9 \xe2\x82\xac",
                                         "12",
                                         "-3",
                                         "\\",
                                         "C:\\VLX\\Roboter\\VLX\\R1",
                                         "x\\y",
                                         "99999999999",
                                         "a\"b;c"};
    static const Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Delete, Qt::Key_Backspace,
                                    Qt::Key_Escape, Qt::Key_Down,   Qt::Key_Up,
                                    Qt::Key_Space,  Qt::Key_Tab,    Qt::Key_Home};
    switch (random() % 4) {
        case 0:
        case 1:
            if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
                QAbstractItemModel* model = view->model();
                if (model && model->rowCount() > 0) {
                    const QModelIndex index = model->index(random() % model->rowCount(), 0);
                    QRect rect = view->visualRect(index);
                    QPoint at = rect.center();
                    if (random() % 3 == 0)
                        at = QPoint(rect.left() + 8, rect.center().y());  // a check box
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
                    if (random() % 5 == 0)
                        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
                }
            } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                edit->setFocus();
                if (random() % 2)
                    edit->selectAll();
                std::string text = kTexts[random() % std::size(kTexts)];
                if (random() % 10 == 0)
                    text = std::string(120, 'w');
                // Character by character as the keyboard delivers them, beyond ASCII too.
                for (QChar c : QString::fromUtf8(text.c_str())) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                    QApplication::sendEvent(edit, &press);
                }
            } else {
                QTest::mouseClick(w, Qt::LeftButton);
            }
            break;
        case 2:
            QTest::keyClick(w, kKeys[random() % std::size(kKeys)]);
            break;
        default:
            QTest::keyRelease(w, kKeys[random() % 3]);
            break;
    }
    uikit::ProcessEvents();
}

int MonkeyUi::RunModal(fw::Dialog& dialog) {
    ++pickers;
    dialog.show();
    uikit::ProcessEvents();
    const int steps = (*random_)() % 12;
    for (int i = 0; i < steps && !dialog.HasEnded(); ++i)
        Act(dialog, *random_, false);
    if (!dialog.HasEnded())
        uikit::Click(dialog, (*random_)() % 2 ? fw::kIdOk : fw::kIdCancel);
    if (!dialog.HasEnded())
        uikit::Click(dialog, fw::kIdCancel);
    if (!dialog.HasEnded()) {
        ADD_FAILURE() << "a dialog that neither OK nor Cancel ends: " << dialog.TemplateNumber();
        dialog.hide();
        return fw::kIdCancel;
    }
    return dialog.Result();
}

TEST(MonkeyOnEveryPage, RandomUseNeverCrashesAndLeavesAFileThatLoads) {
    const std::string hostile = HostileConfiguration(0);
    const PageTable& table = DefaultPageTable();
    const int stepsPerPage = 400;
    int steps = 0, boxes = 0, pickers = 0;
    for (size_t p = 0; p < table.size(); ++p) {
        SCOPED_TRACE(table[p].label);
        testsupport::PageHarness h(hostile);
        h.Ui().SetDefaultAnswer(fw::MsgAnswer::Ok);
        CBasicDialogTab& page = h.CreatePage(table[p]);
        std::mt19937 random(1500 + static_cast<unsigned>(p));
        {
            MonkeyUi monkey(&random);
            for (int i = 0; i < stepsPerPage; ++i, ++steps)
                Act(page, random, true);
            h.Apply();
            boxes += monkey.boxes;
            pickers += monkey.pickers;
        }
        std::string error;
        EXPECT_NE(registry::FileStore::Open(h.Registry().FilePath(), &error), nullptr) << error;
        h.Ui().ClearMessages();
        h.Reload();
    }
    std::printf("monkey: %d steps, %d message boxes, %d pickers\n", steps, boxes, pickers);
    RecordProperty("steps", steps);
}

}  // namespace
