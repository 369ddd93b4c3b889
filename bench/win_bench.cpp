// The Windows program on the system registry (under Wine in `make bench`, see
// bench/wine-bench.sh): its start-up to the main window shown and "&Apply" of each page, each
// in a fresh process, with the number of registry calls the start-up and each "&Apply" make
// (counted in runs of their own, bench/registry_call_counter.h). The registry must already
// hold the configuration. Without --previous the figures are judged against their targets;
// with it, against the figures of the run it names, at half the scale.
//
//   vlx_winbench [--runs N] [--name NAME] [--results FILE] [--previous FILE] [--smoke]
//   vlx_winbench --child PAGE [--count]   one start-up, then "&Apply" of PAGE (none for -1)
//
// Each "&Apply" rewrites its page's area as it stands and leaves a backup in the program's
// journal folder, as a user's would.

#ifdef _WIN32

#include <windows.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/page_table.h"
#include "app/vlx_configurator_app.h"
#include "app/vlx_configurator_dlg.h"
#include "bench/bench_figures.h"
#include "bench/bench_ui.h"
#include "bench/registry_call_counter.h"
#include "framework/control.h"
#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/ui_service.h"

namespace {

using bench::BenchUi;

long long Ticks() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The performance counter is the same clock in every process, so a child's tick count can be
// set against its parent's.
double Seconds(long long ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) / frequency;
}

// What one child process measured.
struct ChildFigures {
    bool ok = false;
    double startup = 0;    // from the parent's CreateProcess to the window shown
    double inProcess = 0;  // from the QApplication made to the window shown
    double apply = 0;
    unsigned long startupCalls = 0;
    unsigned long applyCalls = 0;
    int messages = 0;
    std::string callsByFunction;  // "RegOpenKeyExA 12 RegCloseKey 12 ..." in a counting run
};

// Child mode: the program started as it starts on Windows (system registry, apply journal),
// its window shown offscreen, then one click on "&Apply" of page `page`. Prints the tick of
// the window shown, the time from Qt's start, the time of the click, the registry calls of
// both (with `count`) and the message boxes shown.
int Child(char* program, int page, bool count) {
    if (count) {
        for (const std::string& name : bench::CountRegistryCalls())
            std::fprintf(stderr, "vlx_winbench: not counted: %s\n", name.c_str());
    }
    // Environment variables named QT_* do not reach a program under Wine: set them here. The
    // offscreen platform reads its fonts from a folder, by default one inside Qt's own: take
    // the system's, as the windows platform does.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsSet("SystemRoot"))
        qputenv("QT_QPA_FONTDIR", (qEnvironmentVariable("SystemRoot") + "\\Fonts").toLocal8Bit());
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication application(qtArgc, qtArgv);
    const long long started = Ticks();
    long long shownAt = 0;
    double apply = 0;
    unsigned long startupCalls = 0, applyCalls = 0;
    bool clicked = page < 0;
    BenchUi ui;
    fw::SetUiService(&ui);
    std::vector<std::pair<std::string, unsigned long>> calls;
    ui.shown = [&](fw::Dialog& dialog) {
        shownAt = Ticks();
        startupCalls = bench::RegistryCalls();
        calls = bench::RegistryCallsByFunction();
        if (page < 0)
            return;
        CBasicDialogTab* tab = static_cast<CVlxConfiguratorDlg&>(dialog).Page(page);
        fw::Control* control = tab ? tab->FindControl(CBasicDialogTab::kApplyId) : nullptr;
        auto* button = control ? dynamic_cast<QAbstractButton*>(control->Widget()) : nullptr;
        if (button == nullptr)
            return;
        const long long before = Ticks();
        button->click();
        apply = Seconds(Ticks() - before);
        applyCalls = bench::RegistryCalls() - startupCalls;
        auto after = bench::RegistryCallsByFunction();
        for (auto& [name, n] : after) {
            for (const auto& [earlier, m] : calls)
                n -= earlier == name ? m : 0;
        }
        calls = std::move(after);
        clicked = true;
    };
    CVlxConfiguratorApp app;
    const int code = app.Run(StartOptions{});
    fw::SetUiService(nullptr);
    if (code != 0 || shownAt == 0 || !clicked)
        return 1;
    std::printf("%lld %.9f %.9f %lu %lu %d\n", shownAt, Seconds(shownAt - started), apply,
                startupCalls, applyCalls, ui.messages);
    // By function: of the "&Apply", or of the start-up without one.
    for (const auto& [name, n] : calls) {
        if (n > 0)
            std::printf(" %s %lu", name.c_str(), n);
    }
    std::printf("\n");
    return 0;
}

std::string ThisProgram() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

// Runs this program again in child mode and reads what it printed.
ChildFigures RunChild(const std::string& program, int page, bool count) {
    ChildFigures figures;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return figures;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = writeEnd;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::string command =
        "\"" + program + "\" --child " + std::to_string(page) + (count ? " --count" : "");
    PROCESS_INFORMATION process{};
    const long long spawned = Ticks();
    const bool created = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::CloseHandle(writeEnd);
    if (input != INVALID_HANDLE_VALUE)
        ::CloseHandle(input);
    std::string text;
    if (created) {
        char buffer[512];
        DWORD n = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
            text.append(buffer, n);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 1;
        ::GetExitCodeProcess(process.hProcess, &exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        if (exitCode != 0)
            text.clear();
    }
    ::CloseHandle(readEnd);
    std::istringstream in(text);
    long long shownAt = 0;
    if (in >> shownAt >> figures.inProcess >> figures.apply >> figures.startupCalls >>
        figures.applyCalls >> figures.messages) {
        figures.startup = Seconds(shownAt - spawned);
        figures.ok = true;
        std::getline(in >> std::ws, figures.callsByFunction);
    }
    return figures;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The medians of one run: "startup", "apply <page index>"; the first line holds the name.
struct Medians {
    std::string name;
    std::map<std::string, double> seconds;
};

bool WriteMedians(const std::string& path, const Medians& medians) {
    std::ofstream out(path, std::ios::trunc);
    out << medians.name << "\n";
    for (const auto& [key, value] : medians.seconds)
        out << value << " " << key << "\n";
    return static_cast<bool>(out);
}

Medians ReadMedians(const std::string& path) {
    Medians medians;
    std::ifstream in(path);
    std::getline(in, medians.name);
    double value;
    std::string key;
    while (in >> value && std::getline(in >> std::ws, key))
        medians.seconds[key] = value;
    return medians;
}

struct Options {
    int runs = 3;
    bool smoke = false;
    std::string name = "this registry";
    std::string results;
    std::string previous;
};

std::string Calls(unsigned long calls, bool counted) {
    return counted ? bench::Fixed(static_cast<double>(calls), 0, "calls") : "not counted";
}

int Parent(const Options& options) {
    const std::string program = ThisProgram();
    const PageTable& table = DefaultPageTable();
    const int pages = static_cast<int>(table.size());
    std::vector<double> startups, inProcess;
    std::vector<std::vector<double>> applies(table.size());
    int failures = 0, messages = 0;
    auto note = [&](const ChildFigures& f, const std::string& what) {
        std::printf("  %-40s %s\n", what.c_str(),
                    f.ok ? (bench::Milliseconds(f.startup) + " start-up" +
                            (what == "start-up" ? "" : ", " + bench::Milliseconds(f.apply)))
                               .c_str()
                         : "FAILED");
        std::fflush(stdout);
        if (!f.ok) {
            ++failures;
            return;
        }
        messages += f.messages;
        startups.push_back(f.startup);
        inProcess.push_back(f.inProcess);
    };
    std::printf(
        "Windows program on the system registry, %s: %d run(s) of the start-up and of "
        "\"&Apply\" on each page, each in a fresh process\n",
        options.name.c_str(), options.runs);
    for (int run = 0; run < options.runs; ++run) {
        note(RunChild(program, -1, false), "start-up");
        for (int page = 0; page < pages; ++page) {
            const ChildFigures f = RunChild(program, page, false);
            note(f, "\"&Apply\" " + table[page].label);
            if (f.ok)
                applies[page].push_back(f.apply);
        }
    }
    // The calls, in runs of their own: counting must not touch the timed runs.
    std::printf("Counting the registry calls, by function\n");
    auto count = [&](int page, const std::string& what) {
        ChildFigures f = RunChild(program, page, true);
        failures += f.ok ? 0 : 1;
        std::printf("  %-40s %s\n", what.c_str(), f.ok ? f.callsByFunction.c_str() : "FAILED");
        return f;
    };
    const ChildFigures startupCount = count(-1, "start-up");
    std::vector<ChildFigures> applyCounts;
    for (int page = 0; page < pages; ++page)
        applyCounts.push_back(count(page, "\"&Apply\" " + table[page].label));

    Medians medians;
    medians.name = options.name;
    medians.seconds["startup"] = Median(startups);
    for (int page = 0; page < pages; ++page)
        medians.seconds["apply " + std::to_string(page)] = Median(applies[page]);
    if (!options.results.empty() && !WriteMedians(options.results, medians)) {
        std::fprintf(stderr, "vlx_winbench: cannot write %s\n", options.results.c_str());
        ++failures;
    }
    const bool ratios = !options.previous.empty();
    const Medians previous = ratios ? ReadMedians(options.previous) : Medians{};
    // At the base scale each figure has its target; at the next, its growth has.
    auto add = [&](std::vector<bench::Figure>& figures, const std::string& name,
                   const std::string& key, double limit, const std::string& target) {
        const double t = medians.seconds[key];
        if (!ratios) {
            figures.push_back({name, bench::Milliseconds(t), target, t > 0 && t < limit});
            return;
        }
        figures.push_back({name, bench::Milliseconds(t), ""});
        const double before = previous.seconds.count(key) ? previous.seconds.at(key) : 0;
        const double ratio = before > 0 ? t / before : 0;
        figures.push_back({"  " + options.name + " / " + previous.name, bench::Fixed(ratio, 2, "x"),
                           "<= 2.2 x", ratio > 0 && ratio <= 2.2});
    };
    std::vector<bench::Figure> figures;
    add(figures, "Start-up to the window shown, " + options.name, "startup", 3.0, "< 3000 ms");
    figures.push_back(
        {"  of it from Qt's start in the process", bench::Milliseconds(Median(inProcess)), ""});
    figures.push_back({"  registry calls", Calls(startupCount.startupCalls, startupCount.ok), ""});
    for (int page = 0; page < pages; ++page) {
        add(figures, "\"&Apply\", " + table[page].label, "apply " + std::to_string(page), 1.0,
            "< 1000 ms");
        figures.push_back(
            {"  registry calls", Calls(applyCounts[page].applyCalls, applyCounts[page].ok), ""});
    }
    figures.push_back({"Message boxes shown", bench::Fixed(messages, 0, ""), "0", messages == 0});
    if (failures > 0)
        figures.push_back(
            {"Child processes that failed", bench::Fixed(failures, 0, ""), "0", false});
    const int missed = bench::PrintFigures(
        "Windows figures, " + options.name + " (median of " + std::to_string(options.runs) + ")",
        figures, options.smoke);
    if (failures > 0)
        return 1;
    return options.smoke || missed == 0 ? 0 : 3;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: vlx_winbench [--runs N] [--name NAME] [--results FILE] "
                 "[--previous FILE] [--smoke]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
        return Child(argv[0], std::atoi(argv[2]),
                     argc >= 4 && std::strcmp(argv[3], "--count") == 0);
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--smoke")
            options.smoke = true;
        else if (a == "--runs" && more)
            options.runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--name" && more)
            options.name = argv[++i];
        else if (a == "--results" && more)
            options.results = argv[++i];
        else if (a == "--previous" && more)
            options.previous = argv[++i];
        else
            return Usage();
    }
    if (options.smoke)
        options.runs = 1;
    return Parent(options);
}

#endif
