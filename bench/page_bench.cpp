// The pages at work on the generated configuration, in the program's running main window with
// every page of its page table: "&Apply" of each page, the file write included; the interactive
// operations of each page (selecting a row in its lists, toggling a check mark, adding and
// removing an entry), driven through the controls as the tests drive them; and opening the
// directory picker from every page that has one and the registry source picker.
//
//   vlx_page_bench [--smoke] [Google Benchmark options]
//
// An operation counts from the user's click (or key) until its events are processed and the
// window is painted again; a picker until it is shown, filled, to its user.

#include <benchmark/benchmark.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/page_table.h"
#include "app/store_errors.h"
#include "app/vlx_configurator_dlg.h"
#include "bench/bench_report.h"
#include "bench/child_process.h"
#include "bench/config_generator.h"
#include "framework/tree_view.h"
#include "pages/base/basic_dialog_tab.h"
#include "platform/file_system.h"
#include "registry/registry_store.h"
#include "resources/templates/template_102.h"
#include "resources/templates/template_129.h"
#include "resources/templates/template_130.h"
#include "resources/templates/template_131.h"
#include "resources/templates/template_132.h"
#include "resources/templates/template_133.h"
#include "resources/templates/template_135.h"
#include "resources/templates/template_136.h"
#include "resources/templates/template_137.h"
#include "resources/templates/template_139.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

namespace {

using bench::Now;
using Page = fw::Dialog;
using Action = std::function<void(Page&)>;

// ---- What is done on each page ----

// A row selected by a click, in turn in two rows, so that every click changes the selection.
struct Selection {
    std::string what;  // "a filter"
    int list;
    int rows[2];
};

// An entry added and removed again; each half has an untimed preparation (typing a name,
// selecting the entry) and the timed click.
struct Entry {
    std::string what;
    Action prepareAdd, add, prepareRemove, remove;
    bool presentAtStart = false;  // the data holds it: it is removed first
};

struct PageOperations {
    std::string label;  // as in the page table
    std::vector<Selection> selections;
    std::string checkWhat;  // empty: the page has no check mark
    Action toggle;
    std::vector<Entry> entries;
    std::vector<int> directoryPickers;  // buttons that open the directory picker
    int registryPicker = 0;             // button that opens the registry source picker
};

Action Click(int id) {
    return [id](Page& p) { uikit::Click(p, id); };
}
Action Type(int id, const std::string& text) {
    return [id, text](Page& p) { uikit::TypeText(p, id, text); };
}
Action SelectText(int id, const std::string& text) {
    return [id, text](Page& p) { uikit::SelectRowByText(p, id, text); };
}
Action Both(Action a, Action b) {
    return [a, b](Page& p) {
        a(p);
        b(p);
    };
}

// A named entry typed into `edit` and added by `addButton`, then selected in `list` and removed
// by `removeButton`.
Entry TypedEntry(const std::string& what, int edit, const std::string& name, int addButton,
                 int list, int removeButton) {
    return {what, Type(edit, name), Click(addButton), SelectText(list, name), Click(removeButton),
            false};
}

const std::vector<PageOperations>& Operations() {
    static const std::vector<PageOperations> table = [] {
        std::vector<PageOperations> t;
        {
            using namespace res::t129;
            PageOperations p;
            p.label = "Display";
            p.selections = {{"a level", kDefinedLevels, {0, 1}}};
            p.checkWhat = "a volume";
            p.toggle = [](Page& d) { uikit::ToggleCheck(d, kVolumes, 0); };
            p.entries.push_back({"a column", SelectText(kSupportedColumns, "Comment"),
                                 Click(kAddColumn), SelectText(kDefinedColumns, "Comment"),
                                 Click(kRemoveColumn), true});
            t.push_back(p);
        }
        {
            using namespace res::t130;
            PageOperations p;
            p.label = "Filter/Filter list";
            p.selections = {{"a level", kDefinedLevels, {0, 1}},
                            {"a filter", kAllFilters, {10, 11}}};
            p.checkWhat = "a type of the filter";
            p.toggle = [](Page& d) { uikit::ToggleCheck(d, kTypes, 0); };
            p.entries.push_back(TypedEntry("a filter", kNewName, "Bench filter", kAddFilter,
                                           kAllFilters, kRemoveFilter));
            t.push_back(p);
        }
        {
            using namespace res::t131;
            PageOperations p;
            p.label = "Methods";
            p.selections = {{"a method", kMethods, {0, 1}}};
            p.checkWhat = "a level's \"active\"";
            p.toggle = [](Page& d) { uikit::ToggleCheck(d, kActive, 0); };
            t.push_back(p);
        }
        {
            using namespace res::t132;
            PageOperations p;
            p.label = "User Methods";
            p.selections = {{"a user method", kMethods, {0, 1}}};
            p.checkWhat = "a level's \"active\"";
            p.toggle = [](Page& d) { uikit::ToggleCheck(d, kActive, 0); };
            t.push_back(p);
        }
        {
            using namespace res::t133;
            PageOperations p;
            p.label = "Templates/Templates list";
            p.selections = {{"a template", kTemplates, {10, 11}},
                            {"a directory", kDirectories, {0, 1}}};
            p.checkWhat = "\"fast create\"";
            p.toggle = Click(kFastCreate);
            p.entries.push_back(TypedEntry("a template", kNewName, "Bench template", kAddTemplate,
                                           kTemplates, kRemoveTemplate));
            p.entries.push_back(TypedEntry("a directory", kDirectoryPath, "vlx:\\bench\\",
                                           kAddDirectory, kDirectories, kRemoveDirectory));
            p.directoryPickers = {kBrowseDirectory};
            t.push_back(p);
        }
        {
            using namespace res::t135;
            PageOperations p;
            p.label = "Upgrade Manager";
            p.selections = {{"a system type", kSystemTypes, {0, 1}}};
            p.entries.push_back(
                {"a file", Both(Type(kFileName, "Bench.ocx"), Type(kFileVersion, "1.0")),
                 Click(kAddFile), SelectText(kFiles, "Bench.ocx"), Click(kRemoveFile), false});
            p.entries.push_back(
                {"a watched path", Both(Type(kPathName, "Bench path"), Type(kPath, "vlx:\\bench")),
                 Click(kAddPath), SelectText(kPaths, "Bench path"), Click(kRemovePath), false});
            p.directoryPickers = {kBrowse};
            t.push_back(p);
        }
        {
            using namespace res::t136;
            PageOperations p;
            p.label = "Archive Manager";
            p.selections = {{"a configuration", kConfigurations, {0, 1}},
                            {"a path name", kPathNames, {0, 1}}};
            p.checkWhat = "a file source";
            p.toggle = [](Page& d) { uikit::ToggleCheck(d, kFileSources, 0); };
            p.entries.push_back(TypedEntry("a configuration", kNewConfiguration,
                                           "Bench configuration", kAddConfiguration,
                                           kConfigurations, kRemoveConfiguration));
            p.directoryPickers = {kBrowseForPath};
            p.registryPicker = kAddRegistrySource;
            t.push_back(p);
        }
        {
            using namespace res::t139;
            PageOperations p;
            p.label = "History Info";
            p.selections = {{"a criterion", kCriteria, {0, 1}}};
            p.checkWhat = "a criterion";
            p.toggle = [](Page& d) { uikit::ToggleCheck(d, kCriteria, 0); };
            p.directoryPickers = {kBrowse};
            t.push_back(p);
        }
        {
            using namespace res::t137;
            PageOperations p;
            p.label = "General/Folder Layout";
            p.checkWhat = "a folder's \"change allowed\"";
            p.toggle = [](Page& d) {
                const fw::TreeItem item = uikit::FindTreeItem(d, kTree, {"vlx:", "folder00003"});
                const auto* tree = d.Find<fw::TreeView>(kTree);
                uikit::SetTreeCheck(d, kTree, item, tree != nullptr && !tree->GetCheck(item));
            };
            const Action selectNew = [](Page& d) {
                uikit::SelectTreeItem(d, kTree, uikit::FindTreeItem(d, kTree, {"vlx:", "bench"}));
            };
            p.entries.push_back({"a folder", Type(kFullPath, "vlx:\\bench"), Click(kAddToTree),
                                 selectNew, Click(kRemoveFromTree), false});
            p.directoryPickers = {kBrowse};
            t.push_back(p);
        }
        return t;
    }();
    return table;
}

// The tree's two items that "selecting a row" clicks in turn.
const std::vector<std::string> kTreeRows[2] = {{"vlx:", "folder00001"}, {"vlx:", "folder00002"}};

// ---- The running window ----

CVlxConfiguratorDlg* g_main = nullptr;
uikit::UiRecorder* g_ui = nullptr;

int PageIndex(const std::string& label) {
    const PageTable& table = DefaultPageTable();
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].label == label)
            return static_cast<int>(i);
    return -1;
}

// Runs `work`; what the test kit reports as a failure (a missing control or row, a message box
// nobody expected, a modal dialog not ended) ends the benchmark with that message.
bool Run(benchmark::State& state, const std::function<void()>& work) {
    testing::TestPartResultArray failures;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
        work();
    }
    if (failures.size() == 0)
        return true;
    state.SkipWithError(failures.GetTestPartResult(0).message());
    return false;
}

// The page, shown as the user shows it: its tab clicked.
Page* ShowPage(benchmark::State& state, const std::string& label) {
    const int index = PageIndex(label);
    CBasicDialogTab* page = g_main != nullptr ? g_main->Page(index) : nullptr;
    if (page == nullptr) {
        state.SkipWithError("the page is not in the main window");
        return nullptr;
    }
    if (g_main->CurrentPage() != index &&
        !Run(state, [&] { uikit::ClickTab(*g_main, res::t102::kTabs, index); }))
        return nullptr;
    uikit::ProcessEvents();
    return page;
}

// One timed action: the click and everything it sets off, the repaint included.
bool Timed(benchmark::State& state, Page& page, const Action& action) {
    double t0 = 0;
    double t1 = 0;
    const bool ok = Run(state, [&] {
        t0 = Now();
        action(page);
        uikit::ProcessEvents();
        t1 = Now();
    });
    if (ok)
        state.SetIterationTime(t1 - t0);
    return ok;
}

bool Untimed(benchmark::State& state, Page& page, const Action& action) {
    return Run(state, [&] {
        action(page);
        uikit::ProcessEvents();
    });
}

void Apply(benchmark::State& state, std::string label) {
    Page* page = ShowPage(state, label);
    if (page == nullptr)
        return;
    for (auto _ : state)
        if (!Timed(state, *page, Click(CBasicDialogTab::kApplyId)))
            return;
}

void Select(benchmark::State& state, const PageOperations* ops, const Selection* selection) {
    Page* page = ShowPage(state, ops->label);
    if (page == nullptr)
        return;
    int turn = 0;
    for (auto _ : state) {
        const int row = selection->rows[turn++ % 2];
        if (!Timed(state, *page, [&](Page& p) { uikit::SelectRow(p, selection->list, row); }))
            return;
    }
}

void SelectTreeRow(benchmark::State& state, const PageOperations* ops) {
    Page* page = ShowPage(state, ops->label);
    if (page == nullptr)
        return;
    int turn = 0;
    for (auto _ : state) {
        const std::vector<std::string>& path = kTreeRows[turn++ % 2];
        const Action click = [&](Page& p) {
            uikit::SelectTreeItem(p, res::t137::kTree,
                                  uikit::FindTreeItem(p, res::t137::kTree, path));
        };
        if (!Timed(state, *page, click))
            return;
    }
}

void Toggle(benchmark::State& state, const PageOperations* ops) {
    Page* page = ShowPage(state, ops->label);
    if (page == nullptr)
        return;
    for (auto _ : state)
        if (!Timed(state, *page, ops->toggle))
            return;
}

// Adding (or with `removing`, removing) the entry is timed; the other half, which puts the
// entry back or takes it away again, is not.
void AddOrRemove(benchmark::State& state, const PageOperations* ops, const Entry* entry,
                 bool removing) {
    Page* page = ShowPage(state, ops->label);
    if (page == nullptr)
        return;
    bool present = entry->presentAtStart;
    auto add = [&](bool timed) {
        if (!Untimed(state, *page, entry->prepareAdd))
            return false;
        present = true;
        return timed ? Timed(state, *page, entry->add) : Untimed(state, *page, entry->add);
    };
    auto remove = [&](bool timed) {
        if (!Untimed(state, *page, entry->prepareRemove))
            return false;
        present = false;
        return timed ? Timed(state, *page, entry->remove) : Untimed(state, *page, entry->remove);
    };
    for (auto _ : state) {
        if (removing ? (!present && !add(false)) || !remove(true)
                     : (present && !remove(false)) || !add(true))
            return;
    }
    // As found.
    if (present != entry->presentAtStart)
        entry->presentAtStart ? add(false) : remove(false);
}

// From the click on `button` until the picker is shown to the user; it is then cancelled.
void OpenPicker(benchmark::State& state, std::string label, int button) {
    Page* page = ShowPage(state, label);
    if (page == nullptr)
        return;
    for (auto _ : state) {
        double t0 = 0;
        double shown = 0;
        const bool ok = Run(state, [&] {
            g_ui->OnModal([&](fw::Dialog& picker) {
                shown = Now();
                uikit::Click(picker, fw::kIdCancel);
            });
            t0 = Now();
            uikit::Click(*page, button);
            uikit::ProcessEvents();
        });
        if (!ok)
            return;
        if (shown == 0) {
            state.SkipWithError("no picker was opened");
            return;
        }
        state.SetIterationTime(shown - t0);
    }
}

// ---- Set-up and figures ----

struct Registered {
    std::string name;    // of the benchmark
    std::string figure;  // as printed
    double limit;        // seconds
};

// Folders and files on drive C:, for the directory picker to list.
void FillDrive(const std::string& dir, double scale) {
    const int count = static_cast<int>(500 * scale) + 2;
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/Folder %04d", i);
        std::filesystem::create_directory(dir + name);
        for (int f = 0; f < 4; ++f) {
            std::snprintf(name, sizeof name, "/program %04d-%d.src", i, f);
            bench::WriteWholeFile(dir + name, "DEF\r\nEND\r\n");
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::ParseOptions(&argc, argv);
    const double scale = options.smoke ? 0.01 : 1.0;
    const int repetitions = options.smoke ? 1 : 5;
    const int operationIterations = options.smoke ? 1 : 10;

    bench::ScratchDir dir;
    const std::string file = dir.File("config.reg");
    const auto config = bench::GenerateConfiguration(scale, {});
    bench::WriteWholeFile(file, config.bytes);
    std::printf("scale %g, %.1f MB, %zu keys, %zu values\n", scale, config.bytes.size() / 1e6,
                config.keys, config.values);
    const std::string drive = dir.File("drive-c");
    std::filesystem::create_directory(drive);
    FillDrive(drive, scale);
    platform::SetDriveMapping('C', drive);

    std::vector<Registered> figures;
    auto add = [&](const std::string& name, const std::string& figure, double limit,
                   benchmark::internal::Benchmark* b) {
        b->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(repetitions);
        b->DisplayAggregatesOnly();
        figures.push_back({name, figure, limit});
        return b;
    };
    for (const PageEntry& entry : DefaultPageTable()) {
        const std::string name = "Apply/" + entry.label;
        add(name, "\"&Apply\", " + entry.label, 0.3,
            benchmark::RegisterBenchmark(name.c_str(), Apply, entry.label))
            ->Iterations(options.smoke ? 1 : 3);
    }
    for (const PageOperations& ops : Operations()) {
        auto operation = [&](const std::string& kind, const std::string& what, auto&&... args) {
            const std::string name = kind + "/" + ops.label + "/" + what;
            add(name, ops.label + ": " + kind + " " + what, 0.016,
                benchmark::RegisterBenchmark(name.c_str(), args...))
                ->Iterations(operationIterations);
        };
        for (const Selection& s : ops.selections)
            operation("select", s.what, Select, &ops, &s);
        if (ops.label == "General/Folder Layout")
            operation("select", "a folder", SelectTreeRow, &ops);
        if (!ops.checkWhat.empty())
            operation("toggle", ops.checkWhat, Toggle, &ops);
        for (const Entry& e : ops.entries) {
            operation("add", e.what, AddOrRemove, &ops, &e, false);
            operation("remove", e.what, AddOrRemove, &ops, &e, true);
        }
        for (int button : ops.directoryPickers) {
            const std::string name = "OpenDirectoryPicker/" + ops.label;
            add(name, ops.label + ": open the directory picker", 0.5,
                benchmark::RegisterBenchmark(name.c_str(), OpenPicker, ops.label, button))
                ->Iterations(options.smoke ? 1 : 3);
        }
        if (ops.registryPicker != 0) {
            const std::string name = "OpenRegistryPicker/" + ops.label;
            add(name, ops.label + ": open the registry source picker", 0.5,
                benchmark::RegisterBenchmark(name.c_str(), OpenPicker, ops.label,
                                             ops.registryPicker))
                ->Iterations(options.smoke ? 1 : 3);
        }
    }

    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    uikit::EnsureApplication();
    if (const std::string error = registry::OpenFileStore(file); !error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    bench::Results results;
    {
        uikit::UiRecorder ui;
        g_ui = &ui;
        app::InstallRegistryCommandScope();
        testsupport::RunMainWindow(ui, DefaultPageTable(), [&](CVlxConfiguratorDlg& main) {
            g_main = &main;
            results = bench::RunBenchmarks(argc, argv);
            g_main = nullptr;
        });
        app::RemoveRegistryCommandScope();
        g_ui = nullptr;
    }
    registry::CloseFileStore();

    std::vector<bench::Figure> printed;
    for (const Registered& r : figures) {
        const double t = results.Seconds(r.name);
        printed.push_back({r.figure, t > 0 ? bench::Milliseconds(t) : "failed",
                           "< " + bench::Fixed(r.limit * 1000, 0, "ms"), t > 0 && t < r.limit});
    }
    const int missed = bench::PrintFigures(
        "Page figures (" + bench::Fixed(config.bytes.size() / 1e6, 1, "MB") + " configuration)",
        printed, options.smoke);
    if (options.smoke)
        return printed.end() !=
                       std::find_if(printed.begin(), printed.end(),
                                    [](const bench::Figure& f) { return f.measured == "failed"; })
                   ? 1
                   : 0;
    return missed > 0 ? 3 : 0;
}
