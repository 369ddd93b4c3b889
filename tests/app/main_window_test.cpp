// The main window: pages created, placed and loaded in tab order, the start-up messages, tab
// switching by click and menu, the ways it ends, About and Help.

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTextBrowser>

#include "app/page_table.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "dialogs/dlg_about.h"
#include "dialogs/help_window.h"
#include "framework/framework.h"
#include "pages/archive/tab_dlg_archive_manager.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "resources/templates/template_102.h"
#include "tests/app/test_pages.h"
#include "tests/support/page_harness.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/ui_kit.h"

namespace {

using frametest::CTestPage;
using frametest::PageEvents;

const char* const kLabels[] = {"Display",
                               "Filter/Filter list",
                               "Methods",
                               "User Methods",
                               "Templates/Templates list",
                               "Upgrade Manager",
                               "Archive Manager",
                               "History Info",
                               "General/Folder Layout"};

const std::string kPrefix = "Your registry configuration is invalid!\nThe error is in:\n";
const std::string kOstrix = "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\";
const std::string kQuorin = "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\";

// The program's table with test pages in place of the real ones; pages whose index is in
// `failing` report a failed load.
PageTable TestTable(std::vector<int> failing, PageEvents* events) {
    PageTable table = DefaultPageTable();
    for (size_t i = 0; i < table.size(); ++i) {
        const int index = static_cast<int>(i);
        const bool fails = std::find(failing.begin(), failing.end(), index) != failing.end();
        // Template 130 has just the common buttons; the real page templates may be larger.
        table[i].templateNumber = 130;
        table[i].create = [index, fails, events] {
            return std::make_unique<CTestPage>(index, !fails, events);
        };
        table[i].readAhead = nullptr;  // the test pages read in their loads
    }
    return table;
}

std::string ReadFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uikit::EnsureApplication();
        InitProgramResources();
    }
    uikit::UiRecorder ui_;
};

TEST_F(MainWindowTest, TableHasTheNinePagesInTabOrder) {
    const PageTable& table = DefaultPageTable();
    ASSERT_EQ(table.size(), 9u);
    const unsigned templates[] = {129, 130, 131, 132, 133, 135, 136, 139, 137};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(table[i].label, kLabels[i]);
        EXPECT_EQ(table[i].templateNumber, templates[i]);
        ASSERT_TRUE(table[i].create);
        // The page saves the area whose keys the start-up message names.
        ASSERT_NE(table[i].area, nullptr);
        EXPECT_EQ(table[i].create()->RegistryArea(), table[i].area) << i;
        EXPECT_EQ(table[i].keyText, common::MessageKeyText(*table[i].area));
    }
}

TEST_F(MainWindowTest, StartsOnTheSampleWithoutMessagesOnTheDisplayPage) {
    testsupport::TempRegistry reg(ReadFile(VLX_SAMPLE_FILE));
    bool ran = false;
    testsupport::RunMainWindow(ui_, DefaultPageTable(), [&](CVlxConfiguratorDlg& main) {
        ran = true;
        EXPECT_EQ(main.windowTitle(), QStringLiteral("VLX Configurator"));
        ASSERT_EQ(main.PageCount(), 9);
        ASSERT_EQ(main.Tabs()->GetItemCount(), 9);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(main.Tabs()->GetItemText(i), kLabels[i]);
        EXPECT_EQ(main.Tabs()->GetCurSel(), 0);
        EXPECT_EQ(main.CurrentPage(), 0);
        EXPECT_TRUE(main.Page(0)->isVisible());
        for (int i = 1; i < 9; ++i)
            EXPECT_FALSE(main.Page(i)->isVisible()) << i;
        EXPECT_EQ(main.Page(0)->TemplateNumber(), 129);
        EXPECT_FALSE(main.windowIcon().isNull());
        EXPECT_FALSE(main.Icon().availableSizes().isEmpty());
    });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(ui_.Messages().empty()) << ui_.Messages().front().text;
}

TEST_F(MainWindowTest, TheSampleWithoutFilterListAndArchiveNamesTheirThreePagesInTabOrder) {
    testsupport::TempRegistry reg(ReadFile(VLX_SAMPLE_FILE));
    {
        registry::RegistryBatch batch;
        ASSERT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, (kOstrix + "FilterList").c_str()), 0);
        ASSERT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, (kQuorin + "Archive").c_str()), 0);
    }
    ASSERT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, kOstrix + "FilterList"));
    ASSERT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, kOstrix + "Filter"));
    ASSERT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, kQuorin + "Upgrade"));

    ui_.SetDefaultAnswer(fw::MsgAnswer::Ok);
    testsupport::RunMainWindow(ui_, DefaultPageTable(), [](CVlxConfiguratorDlg& main) {
        EXPECT_EQ(main.PageCount(), 9);
        EXPECT_EQ(main.CurrentPage(), 0);
    });
    // Filters, Archive Manager, History Info; the prefix and the key texts as the table has them.
    EXPECT_EQ(ui_.MessageTexts(),
              (std::vector<std::string>{
                  "Your registry configuration is invalid!\nThe error is in:\n"
                  "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Filter\n"
                  "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\FilterList",
                  "Your registry configuration is invalid!\nThe error is in:\n"
                  "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive",
                  "Your registry configuration is invalid!\nThe error is in:\n"
                  "Software\\VORNA Roboter GmbH\\Quorin3\\Manager\\Archive"}));
    for (const uikit::ShownMessage& m : ui_.Messages()) {
        EXPECT_EQ(m.icon, fw::MsgIcon::Error);
        EXPECT_EQ(m.buttons, fw::MsgButtons::Ok);
    }
}

TEST_F(MainWindowTest, EveryPageLiesBelowAllTabRows) {
    testsupport::TempRegistry reg;
    PageEvents events;
    testsupport::RunMainWindow(ui_, TestTable({}, &events), [&](CVlxConfiguratorDlg& main) {
        fw::TabControl& tabs = *main.Tabs();
        const QRect expected = CBasicDialogTab::PageRectInTab(
            tabs.ClientRect(), tabs.GetItemRect(0).height(), tabs.GetRowCount());
        for (int i = 0; i < main.PageCount(); ++i) {
            EXPECT_EQ(main.Page(i)->parentWidget(), &tabs);
            EXPECT_EQ(main.Page(i)->geometry(), expected) << i;
            EXPECT_EQ(main.Page(i)->MainDialog(), &main);
        }
    });
}

TEST_F(MainWindowTest, FailedLoadsAreNamedAtOnceInTabOrder) {
    testsupport::TempRegistry reg;
    PageEvents events;
    std::vector<size_t> messagesAtConstruction;
    PageTable table = TestTable({1, 4, 6, 7}, &events);
    ui_.SetDefaultAnswer(fw::MsgAnswer::Ok);
    // Note how many boxes were shown when each page is constructed.
    for (PageEntry& entry : table) {
        auto create = entry.create;
        entry.create = [create, &messagesAtConstruction, this] {
            messagesAtConstruction.push_back(ui_.Messages().size());
            return create();
        };
    }
    testsupport::RunMainWindow(ui_, table, [&](CVlxConfiguratorDlg& main) {
        // Failed pages are still there and reachable.
        ASSERT_EQ(main.PageCount(), 9);
        uikit::ClickTab(main, res::t102::kTabs, 6);
        EXPECT_TRUE(main.Page(6)->isVisible());
    });

    const std::vector<std::string> expected = {
        kPrefix + kOstrix + "Filter\n" + kOstrix + "FilterList",
        kPrefix + kOstrix + "Template\n" + kOstrix + "TemplateList",
        kPrefix + kQuorin + "Archive",
        kPrefix + kQuorin + "Archive",
    };
    EXPECT_EQ(ui_.MessageTexts(), expected);
    for (const uikit::ShownMessage& m : ui_.Messages()) {
        EXPECT_EQ(m.icon, fw::MsgIcon::Error);
        EXPECT_EQ(m.buttons, fw::MsgButtons::Ok);
        EXPECT_EQ(m.title, "VLX Configurator");
    }
    // Each box came right after its page's load, before the next page was made.
    EXPECT_EQ(messagesAtConstruction, (std::vector<size_t>{0, 0, 1, 1, 1, 2, 2, 3, 4}));
    // Created, loaded in order; destroyed in order when the window went.
    std::vector<std::string> order;
    for (int i = 0; i < 9; ++i) {
        order.push_back("construct " + std::to_string(i));
        order.push_back("load " + std::to_string(i));
    }
    for (int i = 0; i < 9; ++i)
        order.push_back("destroy " + std::to_string(i));
    EXPECT_EQ(events.events, order);
}

// Each page shows its area as read ahead of its making, and "&Restore from Registry" reads the
// registry again: a key made between the read and the load shows only after Restore.
TEST_F(MainWindowTest, APageShowsItsReadAheadAndRestoreReadsAgain) {
    testsupport::TempRegistry reg("[HKEY_LOCAL_MACHINE\\" + kQuorin + "Archive\\Path]\n" +
                                  "[HKEY_LOCAL_MACHINE\\" + kQuorin + "Archive\\Config\\First]\n");
    PageTable table = DefaultPageTable();
    const auto readAhead = table[6].readAhead;
    ASSERT_TRUE(readAhead);
    table[6].readAhead = [readAhead] {
        auto give = readAhead();
        RegistryKey later;
        EXPECT_EQ(later.Create(HKEY_LOCAL_MACHINE, (kQuorin + "Archive\\Config\\Later").c_str()),
                  ERROR_SUCCESS);
        return give;
    };
    ui_.SetDefaultAnswer(fw::MsgAnswer::Ok);  // the other areas are missing
    testsupport::RunMainWindow(ui_, table, [&](CVlxConfiguratorDlg& main) {
        auto* page = dynamic_cast<CTabDlgArchiveManager*>(main.Page(6));
        ASSERT_NE(page, nullptr);
        auto names = [page] {
            std::vector<std::string> names;
            for (const auto& configuration : page->Area().configurations)
                names.push_back(configuration->name);
            return names;
        };
        EXPECT_EQ(names(), std::vector<std::string>{"First"});
        uikit::ClickTab(main, res::t102::kTabs, 6);
        uikit::Click(*page, CBasicDialogTab::kRestoreId);
        EXPECT_EQ(names(), (std::vector<std::string>{"First", "Later"}));
    });
}

TEST_F(MainWindowTest, EveryKeyTextOfTheTable) {
    testsupport::TempRegistry reg;
    ui_.SetDefaultAnswer(fw::MsgAnswer::Ok);
    testsupport::RunMainWindow(ui_, TestTable({0, 1, 2, 3, 4, 5, 6, 7, 8}, nullptr),
                               [](CVlxConfiguratorDlg&) {});
    const std::vector<std::string> expected = {
        kPrefix + kOstrix + "Display",
        kPrefix + kOstrix + "Filter\n" + kOstrix + "FilterList",
        kPrefix + kOstrix + "ModulProc",
        kPrefix + kOstrix + "ModulProc",
        kPrefix + kOstrix + "Template\n" + kOstrix + "TemplateList",
        kPrefix + kQuorin + "Upgrade",
        kPrefix + kQuorin + "Archive",
        kPrefix + kQuorin + "Archive",
        kPrefix + kOstrix + "PreDefinedTree",
    };
    EXPECT_EQ(ui_.MessageTexts(), expected);
}

TEST_F(MainWindowTest, AStoreErrorAtStartUpIsShownOnceAfterTheLoads) {
    testsupport::TempRegistry reg("[HKEY_LOCAL_MACHINE\\Software\\Frame Test]\n");
    const std::string file = reg.FilePath();
    if (file.empty())
        GTEST_SKIP() << "the system registry has no file";
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("not a registry file\n");
    f.close();

    PageEvents events;
    ui_.SetDefaultAnswer(fw::MsgAnswer::Ok);
    testsupport::RunMainWindow(ui_, TestTable({}, &events), [&](CVlxConfiguratorDlg& main) {
        EXPECT_EQ(main.PageCount(), 9);
        EXPECT_EQ(main.CurrentPage(), 0);
    });
    ASSERT_EQ(ui_.Messages().size(), 1u);
    EXPECT_EQ(ui_.Messages()[0].icon, fw::MsgIcon::Error);
    EXPECT_NE(ui_.Messages()[0].text.find(file), std::string::npos) << ui_.Messages()[0].text;
    EXPECT_EQ(ReadFile(file), "not a registry file\n");
}

TEST_F(MainWindowTest, TabsMenuShowsTheSamePageAsAClick) {
    testsupport::TempRegistry reg;
    testsupport::RunMainWindow(ui_, TestTable({}, nullptr), [&](CVlxConfiguratorDlg& main) {
        auto visiblePages = [&main] {
            std::vector<int> shown;
            for (int i = 0; i < main.PageCount(); ++i)
                if (main.Page(i)->isVisible())
                    shown.push_back(i);
            return shown;
        };
        uikit::ClickTab(main, res::t102::kTabs, 7);
        EXPECT_EQ(main.CurrentPage(), 7);
        EXPECT_EQ(visiblePages(), std::vector<int>{7});

        uikit::ChooseMenuCommand(main, 32771);  // "&1 Display"
        EXPECT_EQ(main.CurrentPage(), 0);
        EXPECT_EQ(main.Tabs()->GetCurSel(), 0);
        EXPECT_EQ(visiblePages(), std::vector<int>{0});

        uikit::ChooseMenuCommand(main, 32778);  // "&8 History Info"
        EXPECT_EQ(main.CurrentPage(), 7);
        EXPECT_EQ(main.Tabs()->GetCurSel(), 7);
        EXPECT_EQ(main.Tabs()->GetItemText(7), "History Info");
        EXPECT_EQ(visiblePages(), std::vector<int>{7});

        for (int command = 32771; command <= 32779; ++command) {
            uikit::ChooseMenuCommand(main, command);
            EXPECT_EQ(visiblePages(), std::vector<int>{command - 32771});
        }
    });
    EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(MainWindowTest, EnterAndEscLeaveTheWindowOpen) {
    testsupport::TempRegistry reg;
    testsupport::RunMainWindow(ui_, TestTable({}, nullptr), [](CVlxConfiguratorDlg& main) {
        uikit::TapDialogKey(main, fw::kVkReturn);
        uikit::TapDialogKey(main, fw::kVkEscape);
        EXPECT_FALSE(main.HasEnded());
        uikit::ClickTab(main, res::t102::kTabs, 3);
        uikit::TapDialogKey(*main.Page(3), fw::kVkEscape);
        uikit::TapDialogKey(*main.Page(3), fw::kVkReturn);
        EXPECT_FALSE(main.HasEnded());
        EXPECT_TRUE(main.Page(3)->isVisible());
    });
}

TEST_F(MainWindowTest, TheCloseBoxEndsTheWindow) {
    testsupport::TempRegistry reg;
    const int result =
        testsupport::RunMainWindow(ui_, TestTable({}, nullptr), [](CVlxConfiguratorDlg& main) {
            main.close();
            EXPECT_TRUE(main.HasEnded());
        });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(MainWindowTest, GeneralExitEndsTheWindow) {
    testsupport::TempRegistry reg;
    const int result =
        testsupport::RunMainWindow(ui_, TestTable({}, nullptr), [](CVlxConfiguratorDlg& main) {
            uikit::ChooseMenuCommand(main, 57665);
            EXPECT_TRUE(main.HasEnded());
        });
    EXPECT_EQ(result, 1);
}

TEST_F(MainWindowTest, EveryPagesExitEndsTheWindowWithoutSaving) {
    for (int page = 0; page < 9; ++page) {
        testsupport::TempRegistry reg;
        const int result = testsupport::RunMainWindow(
            ui_, TestTable({}, nullptr), [page](CVlxConfiguratorDlg& main) {
                uikit::ChooseMenuCommand(main, 32771 + page);
                uikit::Click(*main.Page(page), CBasicDialogTab::kExitId);
                EXPECT_TRUE(main.HasEnded()) << page;
            });
        EXPECT_EQ(result, 1);
        EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, "Software\\Frame Test"));
    }
    EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(MainWindowTest, RestoreReloadsOnlyItsPage) {
    testsupport::TempRegistry reg;
    testsupport::RunMainWindow(ui_, TestTable({}, nullptr), [](CVlxConfiguratorDlg& main) {
        uikit::ClickTab(main, res::t102::kTabs, 2);
        uikit::Click(*main.Page(2), CBasicDialogTab::kRestoreId);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(static_cast<CTestPage*>(main.Page(i))->loads, i == 2 ? 2 : 1) << i;
        EXPECT_EQ(main.CurrentPage(), 2);
        EXPECT_FALSE(main.HasEnded());
    });
}

TEST_F(MainWindowTest, AboutShowsTheVersion) {
    testsupport::TempRegistry reg;
    testsupport::RunMainWindow(ui_, TestTable({}, nullptr), [this](CVlxConfiguratorDlg& main) {
        ui_.OnModal([](fw::Dialog& about) {
            ASSERT_NE(dynamic_cast<CDlgAbout*>(&about), nullptr);
            EXPECT_EQ(about.windowTitle(), QStringLiteral("About..."));
            EXPECT_EQ(about.GetItemText(1169), VLX_VERSION);
            QStringList texts;
            for (QLabel* label : about.findChildren<QLabel*>())
                texts << label->text();
            EXPECT_TRUE(texts.contains(QStringLiteral("Version:")))
                << texts.join('|').toStdString();
            EXPECT_TRUE(texts.contains(QStringLiteral("VLX Configurator")));
            EXPECT_TRUE(texts.contains(QStringLiteral("VORNA Roboter GmbH")));
            uikit::Click(about, fw::kIdOk);
        });
        uikit::ChooseMenuCommand(main, 32782);
        EXPECT_FALSE(main.HasEnded());
    });
    EXPECT_EQ(ui_.ModalRuns(), (std::vector<int>{102, 151}));
}

TEST_F(MainWindowTest, AboutVersionIsSetAtInitialisation) {
    CDlgAbout about;
    EXPECT_EQ(about.Version(), "");
    ui_.OnModal([](fw::Dialog& d) {
        EXPECT_EQ(static_cast<CDlgAbout&>(d).Version(), VLX_VERSION);
        uikit::TapDialogKey(d, fw::kVkEscape);
    });
    about.DoModal();
    EXPECT_TRUE(about.HasEnded());
}

TEST_F(MainWindowTest, HelpShowsTheShippedDocument) {
    testsupport::TempRegistry reg;
    testsupport::RunMainWindow(ui_, TestTable({}, nullptr), [](CVlxConfiguratorDlg& main) {
        EXPECT_EQ(main.HelpWindow(), nullptr);
        uikit::ChooseMenuCommand(main, 57670);
        ASSERT_NE(main.HelpWindow(), nullptr);
        EXPECT_TRUE(main.HelpWindow()->isVisible());
        EXPECT_TRUE(main.HelpWindow()->HasDocument());
        const QString text = main.HelpWindow()->Browser()->toPlainText();
        for (const char* label : kLabels)
            EXPECT_TRUE(text.contains(QString::fromLatin1(label), Qt::CaseInsensitive)) << label;
        EXPECT_TRUE(text.contains(QStringLiteral("--registry")));
        // A second "&Help" reuses the window.
        CHelpWindow* first = main.HelpWindow();
        uikit::ChooseMenuCommand(main, 57670);
        EXPECT_EQ(main.HelpWindow(), first);
        EXPECT_FALSE(main.HasEnded());
    });
}

TEST(HelpWindow, SaysSoWhenTheDocumentIsMissing) {
    uikit::EnsureApplication();
    CHelpWindow window(QStringLiteral(":/no/such/help.html"));
    EXPECT_FALSE(window.HasDocument());
    EXPECT_FALSE(window.Browser()->toPlainText().isEmpty());
}

}  // namespace
