// The .reg file store against its floors: the load of the generated configuration in a fresh
// process (what a user waits for) against reading the same bytes and counting lines; the atomic
// rewrite at the end of a batch against writing and syncing the same bytes; and, where Wine is
// installed, Wine's registry editor importing the same file.
//
//   vlx_store_bench [--smoke] [Google Benchmark options]

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_report.h"
#include "bench/child_process.h"
#include "bench/config_generator.h"
#include "registry/file_store.h"
#include "registry/registry_store.h"

namespace {

using bench::Now;

constexpr const char* kSortKey =
    "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Display\\DEFAULT\\List\\Sort";

struct Data {
    std::string name;  // "REGEDIT4" or "UTF-16"
    std::string file;
    size_t bytes = 0;
};

// ---- Child modes: one figure in a fresh process, printed as numbers ----

int ChildLoad(const std::string& file) {
    const size_t before = bench::PeakResidentBytes();
    const double t0 = Now();
    const std::string error = registry::OpenFileStore(file);
    const double t1 = Now();
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("%.9f %zu %zu\n", t1 - t0, bench::PeakResidentBytes(), before);
    return 0;
}

// The floor: read the same bytes and count their lines, the cheapest way: piece by piece into
// one buffer, so the floor pays no more page faults than a reader must.
int ChildFloor(const std::string& file) {
    const double t0 = Now();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 1;
    std::vector<char> buffer(size_t{1} << 20);
    size_t lines = 0;
    while (true) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        lines += static_cast<size_t>(std::count(buffer.data(), buffer.data() + n, '\n'));
    }
    ::close(fd);
    const double t1 = Now();
    std::printf("%.9f %zu\n", t1 - t0, lines);
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

// ---- Benchmarks ----

void LoadFresh(benchmark::State& state, const Data* data, const char* mode) {
    for (auto _ : state) {
        const std::vector<double> figures = Numbers(bench::RunSelf({mode, data->file}));
        if (figures.empty()) {
            state.SkipWithError("the child process failed");
            return;
        }
        state.SetIterationTime(figures[0]);
        if (figures.size() >= 3)
            state.counters["peak_mb"] = (figures[1] - figures[2]) / 1e6;
    }
    state.SetBytesProcessed(static_cast<int64_t>(data->bytes) * state.iterations());
}

void LoadRepeated(benchmark::State& state, const Data* data) {
    for (auto _ : state) {
        const std::string error = registry::OpenFileStore(data->file);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    registry::CloseFileStore();
    state.SetBytesProcessed(static_cast<int64_t>(data->bytes) * state.iterations());
}

// The atomic rewrite after one changed value: the end of the batch, fsync included. The first
// write of a session also keeps a backup; it happens before the timing.
void StoreWrite(benchmark::State& state, const Data* data) {
    bench::ScratchDir dir;
    const std::string copy = dir.File("registry.reg");
    bench::WriteWholeFile(copy, bench::ReadWholeFile(data->file));
    std::string error;
    std::unique_ptr<registry::FileStore> store = registry::FileStore::Open(copy, &error);
    if (!store) {
        state.SkipWithError(error.c_str());
        return;
    }
    DWORD toggle = 0;
    auto change = [&] {
        store->BeginBatch();
        HKEY key = nullptr;
        store->OpenKey(HKEY_LOCAL_MACHINE, kSortKey, 0, KEY_ALL_ACCESS, &key);
        toggle ^= 1;
        const BYTE bytes[4] = {static_cast<BYTE>(toggle), 0, 0, 0};
        store->SetValueEx(key, "Descending", 0, REG_DWORD, bytes, 4);
        store->CloseKey(key);
    };
    change();
    store->EndBatch();
    for (auto _ : state) {
        change();
        const double t0 = Now();
        const LONG result = store->EndBatch();
        state.SetIterationTime(Now() - t0);
        if (result != ERROR_SUCCESS) {
            state.SkipWithError(store->TakeError().c_str());
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(data->bytes) * state.iterations());
}

// The floor: write the same bytes to a new file and sync them.
void WriteFloor(benchmark::State& state, const Data* data) {
    bench::ScratchDir dir;
    const std::string bytes = bench::ReadWholeFile(data->file);
    const std::string target = dir.File("floor.reg");
    for (auto _ : state) {
        const double t0 = Now();
        const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        size_t done = 0;
        while (fd >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        const bool ok = fd >= 0 && done == bytes.size() && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        state.SetIterationTime(Now() - t0);
        if (!ok) {
            state.SkipWithError("cannot write the floor file");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes.size()) * state.iterations());
}

std::string WineScript() {
    return VLX_SOURCE_DIR "/bench/wine-import.sh";
}

std::string WinePrefix() {
    // Next to the benchmark program, kept from run to run (creating one takes a while).
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(".");
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/wine-prefix-bench";
}

void WineImport(benchmark::State& state, const Data* data) {
    const std::string prefix = WinePrefix();
    if (!bench::RunShell("bash '" + WineScript() + "' prepare '" + prefix + "'")) {
        state.SkipWithError("the Wine prefix cannot be prepared");
        return;
    }
    for (auto _ : state) {
        const double t0 = Now();
        const bool ok = bench::RunShell("bash '" + WineScript() + "' import '" + prefix + "' '" +
                                        data->file + "'");
        state.SetIterationTime(Now() - t0);
        if (!ok) {
            state.SkipWithError("regedit /s failed");
            break;
        }
    }
    bench::RunShell("bash '" + WineScript() + "' stop '" + prefix + "'");
    state.SetBytesProcessed(static_cast<int64_t>(data->bytes) * state.iterations());
}

bool WineInstalled() {
    return bench::RunShell("command -v wine");
}

std::string Name(const char* what, const Data& d) {
    return std::string(what) + "/" + d.name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--child-load") == 0)
        return ChildLoad(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--child-floor") == 0)
        return ChildFloor(argv[2]);
    const bench::Options options = bench::ParseOptions(&argc, argv);
    const double scale = options.smoke ? 0.01 : 1.0;
    const int repetitions = options.smoke ? 1 : 7;

    bench::ScratchDir dir;
    std::vector<Data> data;
    for (const registry::RegFileFormat& format :
         {registry::RegFileFormat{}, registry::RegFileFormat{true, true}}) {
        Data d;
        d.name = format.utf16 ? "UTF-16" : "REGEDIT4";
        d.file = dir.File(format.utf16 ? "config5.reg" : "config4.reg");
        const auto config = bench::GenerateConfiguration(scale, format);
        d.bytes = config.bytes.size();
        bench::WriteWholeFile(d.file, config.bytes);
        std::printf("%s: scale %g, %.1f MB, %zu keys, %zu values\n", d.name.c_str(), scale,
                    d.bytes / 1e6, config.keys, config.values);
        data.push_back(d);
    }

    for (const Data& d : data) {
        benchmark::RegisterBenchmark(Name("LoadFresh", d).c_str(), LoadFresh, &d, "--child-load")
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(repetitions)
            ->DisplayAggregatesOnly();
        benchmark::RegisterBenchmark(Name("ReadFloorFresh", d).c_str(), LoadFresh, &d,
                                     "--child-floor")
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(repetitions)
            ->DisplayAggregatesOnly();
        benchmark::RegisterBenchmark(Name("LoadRepeated", d).c_str(), LoadRepeated, &d)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(options.smoke ? 1 : 3)
            ->Repetitions(repetitions)
            ->DisplayAggregatesOnly();
        benchmark::RegisterBenchmark(Name("StoreWrite", d).c_str(), StoreWrite, &d)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(options.smoke ? 1 : 3)
            ->Repetitions(repetitions)
            ->DisplayAggregatesOnly();
        benchmark::RegisterBenchmark(Name("WriteFloor", d).c_str(), WriteFloor, &d)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(options.smoke ? 1 : 3)
            ->Repetitions(repetitions)
            ->DisplayAggregatesOnly();
    }
    // Once per run: it takes long, and a smoke run leaves Wine alone.
    const bool wine = !options.smoke && WineInstalled();
    if (wine) {
        benchmark::RegisterBenchmark(Name("WineImport", data[0]).c_str(), WineImport, &data[0])
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }

    const bench::Results results = bench::RunBenchmarks(argc, argv);

    std::vector<bench::Figure> figures;
    for (const Data& d : data) {
        const double load = results.Seconds(Name("LoadFresh", d));
        const double floor = results.Seconds(Name("ReadFloorFresh", d));
        const double rate = load > 0 ? d.bytes / load / 1e6 : 0;
        const double write = results.Seconds(Name("StoreWrite", d));
        const double writeFloor = results.Seconds(Name("WriteFloor", d));
        const std::string format =
            " (" + d.name + ", " + bench::Fixed(d.bytes / 1e6, 1, "MB") + ")";
        figures.push_back({"Load, fresh process" + format, bench::Milliseconds(load), ""});
        figures.push_back(
            {"  load rate", bench::Fixed(rate, 0, "MB/s"), ">= 150 MB/s", rate >= 150});
        figures.push_back({"  floor: read and count lines", bench::Milliseconds(floor), ""});
        const double loadRatio = floor > 0 ? load / floor : 0;
        figures.push_back({"  load / floor", bench::Fixed(loadRatio, 1, "x"), "<= 50 x",
                           loadRatio > 0 && loadRatio <= 50});
        figures.push_back({"  store memory after the load",
                           bench::Fixed(results.Counter(Name("LoadFresh", d), "peak_mb"), 1, "MB"),
                           ""});
        figures.push_back({"  load, repeated in one process",
                           bench::Milliseconds(results.Seconds(Name("LoadRepeated", d))), ""});
        figures.push_back(
            {"Write (atomic rewrite, fsync)" + format, bench::Milliseconds(write), ""});
        figures.push_back({"  floor: write and sync", bench::Milliseconds(writeFloor), ""});
        const double writeRatio = writeFloor > 0 ? write / writeFloor : 0;
        figures.push_back({"  write / floor", bench::Fixed(writeRatio, 2, "x"), "<= 3 x",
                           writeRatio > 0 && writeRatio <= 3});
    }
    if (wine) {
        const double wineImport = results.Seconds(Name("WineImport", data[0]));
        const double load = results.Seconds(Name("LoadFresh", data[0]));
        const double ratio = load > 0 ? wineImport / load : 0;
        figures.push_back(
            {"Wine: regedit /s of the REGEDIT4 file", bench::Milliseconds(wineImport), ""});
        figures.push_back({"  Wine's import / store load", bench::Fixed(ratio, 0, "x"), ">= 300 x",
                           ratio >= 300});
    } else {
        figures.push_back({"Wine: regedit /s", options.smoke ? "skipped" : "no Wine", ""});
    }
    const int missed = bench::PrintFigures("Store figures", figures, options.smoke);
    return options.smoke ? 0 : (missed > 0 ? 3 : 0);
}
