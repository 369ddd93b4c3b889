// The program's start-up on the generated configuration: the registry file opened, the main
// dialog created with every page of the program's page table loaded, and the window shown,
// offscreen, each in a fresh process, at scales 1, 2 and 4; the peak resident memory of the
// start-up at scale 1 against the start-up on the bundled sample; and "&Apply" of each page at
// scale 1 in one running main window, the file write included.
//
//   vlx_startup_bench [--smoke] [Google Benchmark options]

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/page_table.h"
#include "app/store_errors.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "bench/bench_report.h"
#include "bench/bench_ui.h"
#include "bench/child_process.h"
#include "bench/config_generator.h"
#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/ui_service.h"
#include "registry/registry_store.h"

namespace {

using bench::BenchUi;
using bench::Now;

void EnsureOffscreen() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// Child mode: one start-up of the program on `file`; prints its time, the peak resident memory
// and the number of message boxes shown.
int ChildStartup(int argc, char** argv, const std::string& file) {
    EnsureOffscreen();
    QApplication application(argc, argv);
    BenchUi ui;
    fw::SetUiService(&ui);
    const double t0 = Now();
    double t1 = 0;
    ui.shown = [&](fw::Dialog&) { t1 = Now(); };
    StartOptions options;
    options.registryFile = QString::fromStdString(file);
    CVlxConfiguratorApp program;
    const int code = program.Run(options);
    fw::SetUiService(nullptr);
    if (code != 0 || t1 == 0)
        return 1;
    std::printf("%.9f %zu %d\n", t1 - t0, bench::PeakResidentBytes(), ui.messages);
    return 0;
}

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> out;
    std::istringstream in(text);
    double v;
    while (in >> v)
        out.push_back(v);
    return out;
}

struct Data {
    std::string name;
    std::string file;
    size_t bytes = 0;
};

void Startup(benchmark::State& state, const Data* data) {
    for (auto _ : state) {
        const std::vector<double> figures =
            Numbers(bench::RunSelf({"--child-startup", data->file}));
        if (figures.size() < 3) {
            state.SkipWithError("the child process failed");
            return;
        }
        state.SetIterationTime(figures[0]);
        state.counters["peak_mb"] = figures[1] / 1e6;
        state.counters["messages"] = figures[2];
    }
}

// The main window running on one file for operations inside the program: created as at
// start-up, shown, kept open until the session ends.
class MainWindowSession {
  public:
    explicit MainWindowSession(const std::string& file) {
        if (!registry::OpenFileStore(file).empty())
            return;
        previous_ = fw::SetUiService(&ui_);
        app::InstallRegistryCommandScope();
        dialog_ = std::make_unique<CVlxConfiguratorDlg>();
        ui_.shown = [](fw::Dialog&) {};
        dialog_->DoModal();  // BenchUi shows it and returns at once; the pages stay
        dialog_->show();
        QCoreApplication::processEvents();
    }
    ~MainWindowSession() {
        dialog_.reset();
        app::RemoveRegistryCommandScope();
        fw::SetUiService(previous_);
        registry::CloseFileStore();
    }
    CVlxConfiguratorDlg* Dialog() const { return dialog_.get(); }

  private:
    BenchUi ui_;
    fw::UiService* previous_ = nullptr;
    std::unique_ptr<CVlxConfiguratorDlg> dialog_;
};

MainWindowSession* g_session = nullptr;

// "&Apply" clicked on page `index`, the batch's file write included.
void Apply(benchmark::State& state, int index) {
    CBasicDialogTab* page = g_session ? g_session->Dialog()->Page(index) : nullptr;
    fw::Control* control = page ? page->FindControl(CBasicDialogTab::kApplyId) : nullptr;
    auto* apply = control ? dynamic_cast<QAbstractButton*>(control->Widget()) : nullptr;
    if (apply == nullptr) {
        state.SkipWithError("the page has no \"&Apply\" button");
        return;
    }
    for (auto _ : state)
        apply->click();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--child-startup") == 0)
        return ChildStartup(1, argv, argv[2]);
    const bench::Options options = bench::ParseOptions(&argc, argv);
    const int repetitions = options.smoke ? 1 : 5;
    const std::vector<double> scales =
        options.smoke ? std::vector<double>{0.01} : std::vector<double>{1, 2, 4};

    bench::ScratchDir dir;
    std::vector<Data> data;
    data.reserve(scales.size() + 1);
    for (double scale : scales) {
        Data d;
        d.name = "scale:" + bench::Fixed(scale, scale < 1 ? 2 : 0, "");
        d.file = dir.File("config-" + d.name.substr(6) + ".reg");
        const auto config = bench::GenerateConfiguration(scale, {});
        d.bytes = config.bytes.size();
        bench::WriteWholeFile(d.file, config.bytes);
        data.push_back(d);
    }
    Data sample{"sample", dir.File("sample.reg"), 0};
    const std::string sampleBytes = bench::ReadWholeFile(VLX_SAMPLE_FILE);
    sample.bytes = sampleBytes.size();
    bench::WriteWholeFile(sample.file, sampleBytes);
    data.push_back(sample);

    for (const Data& d : data) {
        benchmark::RegisterBenchmark(("Startup/" + d.name).c_str(), Startup, &d)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(repetitions)
            ->DisplayAggregatesOnly();
    }

    // "&Apply" of every page, in one main window on the first file (a copy: it is written).
    EnsureOffscreen();
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    const std::string applyFile = dir.File("apply.reg");
    bench::WriteWholeFile(applyFile, bench::ReadWholeFile(data[0].file));
    const PageTable& table = DefaultPageTable();
    std::vector<bool> built(table.size(), true);
    {
        MainWindowSession session(applyFile);
        g_session = &session;
        for (size_t i = 0; i < table.size(); ++i) {
            CBasicDialogTab* page =
                session.Dialog() ? session.Dialog()->Page(static_cast<int>(i)) : nullptr;
            built[i] = page != nullptr;
            benchmark::RegisterBenchmark(("Apply/" + table[i].label).c_str(), Apply,
                                         static_cast<int>(i))
                ->Unit(benchmark::kMillisecond)
                ->Iterations(options.smoke ? 1 : 3)
                ->Repetitions(repetitions)
                ->DisplayAggregatesOnly();
        }
        const bench::Results results = bench::RunBenchmarks(argc, argv);
        g_session = nullptr;

        std::vector<bench::Figure> figures;
        const std::string first = "Startup/" + data[0].name;
        const double t1 = results.Seconds(first);
        figures.push_back(
            {"Start-up, " + data[0].name + " (" + bench::Fixed(data[0].bytes / 1e6, 1, "MB") + ")",
             bench::Milliseconds(t1), "< 1000 ms", t1 > 0 && t1 < 1.0});
        for (size_t i = 1; i < scales.size(); ++i) {
            const double before = results.Seconds("Startup/" + data[i - 1].name);
            const double now = results.Seconds("Startup/" + data[i].name);
            const double ratio = before > 0 ? now / before : 0;
            figures.push_back({"Start-up, " + data[i].name + " (" +
                                   bench::Fixed(data[i].bytes / 1e6, 1, "MB") + ")",
                               bench::Milliseconds(now), ""});
            figures.push_back({"  " + data[i].name + " / " + data[i - 1].name,
                               bench::Fixed(ratio, 2, "x"), "<= 2.2 x", ratio > 0 && ratio <= 2.2});
        }
        const double sampleTime = results.Seconds("Startup/sample");
        figures.push_back({"Start-up, sample", bench::Milliseconds(sampleTime), ""});
        const double peak = results.Counter(first, "peak_mb");
        const double basePeak = results.Counter("Startup/sample", "peak_mb");
        const double limit = 3 * data[0].bytes / 1e6 + basePeak;
        figures.push_back({"Peak memory, start-up " + data[0].name, bench::Fixed(peak, 1, "MB"),
                           "< " + bench::Fixed(limit, 1, "MB") + " (3 x file + sample)",
                           peak > 0 && peak < limit});
        figures.push_back(
            {"Peak memory, start-up on the sample", bench::Fixed(basePeak, 1, "MB"), ""});
        const double messages = results.Counter(first, "messages");
        figures.push_back({"Message boxes at start-up, " + data[0].name,
                           bench::Fixed(messages, 0, ""), "0", messages == 0});
        for (size_t i = 0; i < table.size(); ++i) {
            const std::string name = "Apply/" + table[i].label;
            const double t = results.Seconds(name);
            if (!built[i]) {
                figures.push_back({"\"&Apply\", " + table[i].label, "page not built yet", ""});
                continue;
            }
            figures.push_back({"\"&Apply\", " + table[i].label + ", " + data[0].name,
                               bench::Milliseconds(t), "< 300 ms", t > 0 && t < 0.3});
        }
        const int missed = bench::PrintFigures("Start-up figures", figures, options.smoke);
        return options.smoke ? 0 : (missed > 0 ? 3 : 0);
    }
}
