# Thin wrapper over CMake. `make run` builds and starts the program; `make test` builds and
# runs every test headless, natively and then, cross-built with MinGW-w64, under Wine;
# `make package` builds the Debian package, `make package-windows` the Windows folder, zip and
# installer (in $(BUILD_WINPKG)/package), `make install` installs under PREFIX (DESTDIR is honoured);
# `make screenshot` and `make screenshot-windows` remake the README's pictures; `make soak` races
# programs on one registry file for SOAK_SECONDS and prints its figures (not part of `make
# test`). All install
# missing Debian packages first.
BUILD ?= build
BUILD_WIN ?= build-mingw
# The Windows program for the packages: Qt for MinGW, no tests, optimised as it ships (the test
# build in BUILD_WIN is -O1), so the installed program's test checks what users get.
BUILD_WINPKG ?= build-windows
JOBS ?= 2
BUILD_TYPE ?= RelWithDebInfo
PREFIX ?= /usr/local
BUILD_BENCH ?= build-bench
# The Windows benchmark, cross-built (bench/wine-bench.sh keeps its Wine prefixes there).
BUILD_BENCH_WIN ?= build-bench-mingw
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 60
# ccache, where installed, makes a second build on the same machine quick, also from another
# clone of the repository: paths below it are hashed relative to it, and not the build folder.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

.PHONY: all deps configure build run test bench bench-windows soak package windows-program package-windows \
	install screenshot screenshot-windows

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(LAUNCHER)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/vlxconfigurator

# Every part runs even when one fails, so one run shows every failure: the native suite, the
# Windows tests (JOBS at a time, each in a Wine prefix of its own), the native suite again under
# the address and undefined-behaviour sanitizers, and each fuzz target for FUZZ_SECONDS. The
# Windows part ends with the installed program under Wine (package, installer, an edit on every
# page).
test: build
	@status=0; \
	(cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)) || status=1; \
	JOBS=$(JOBS) BUILD_TYPE=$(BUILD_TYPE) bash scripts/test-windows.sh $(BUILD_WIN) || status=1; \
	$(MAKE) --no-print-directory windows-program && \
	JOBS=$(JOBS) bash scripts/test-windows-installed.sh $(BUILD) $(BUILD_WINPKG) || status=1; \
	JOBS=$(JOBS) bash scripts/test-sanitizers.sh $(BUILD_ASAN) || status=1; \
	JOBS=$(JOBS) bash scripts/test-fuzz.sh $(FUZZ_SECONDS) $(BUILD_FUZZ) || status=1; \
	exit $$status

# Benchmarks in a Release build of their own: every figure next to its target (see README). Every
# program runs even when one misses a target; the exit code tells whether any did. The Windows
# benchmark follows where Wine and the MinGW-w64 compilers are there.
bench: deps
	cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DVLX_BUILD_TESTS=OFF
	cmake --build $(BUILD_BENCH) -j$(JOBS) --target vlx_genconfig vlx_store_bench vlx_startup_bench vlx_page_bench
	@status=0; \
	$(BUILD_BENCH)/bench/vlx_store_bench || status=1; \
	$(BUILD_BENCH)/bench/vlx_startup_bench || status=1; \
	$(BUILD_BENCH)/bench/vlx_page_bench || status=1; \
	$(MAKE) --no-print-directory bench-windows || status=1; \
	exit $$status

# The Windows program under Wine on the system registry: start-up and "&Apply" of each page at
# scales 1 and 2 (bench/wine-bench.sh), cross-built in Release with Qt for MinGW.
bench-windows: deps
	@if ! command -v wine >/dev/null || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then \
	    echo "Windows benchmark skipped: it needs Wine and the MinGW-w64 compilers" \
	        "(scripts/install-deps.sh installs them)"; \
	    exit 0; \
	fi; \
	set -e; \
	cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DVLX_BUILD_TESTS=OFF >/dev/null; \
	cmake --build $(BUILD_BENCH) -j$(JOBS) --target vlx_genconfig; \
	prefix=$$(bash scripts/qt6-mingw.sh | tail -n 1); \
	cmake -S . -B $(BUILD_BENCH_WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(LAUNCHER) \
	    -DCMAKE_BUILD_TYPE=Release -DVLX_QT_PREFIX="$$prefix" -DVLX_BUILD_TESTS=OFF \
	    -DVLX_BUILD_BENCH=ON; \
	cmake --build $(BUILD_BENCH_WIN) -j$(JOBS) --target vlx_winbench; \
	bash bench/wine-bench.sh $(BUILD_BENCH) $(BUILD_BENCH_WIN)

# Two programs applying their pages on one file while a third changes it without the lock, for
# SOAK_SECONDS; prints applies, refused writes, unlocked rewrites and undone changes.
soak: configure
	cmake --build $(BUILD) -j$(JOBS) --target vlx_soak
	bash scripts/soak.sh $(BUILD) $(SOAK_SECONDS)

package: build
	cd $(BUILD) && cpack -G DEB

install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

screenshot: build
	bash scripts/make-screenshot.sh $(BUILD)/vlxconfigurator docs/screenshot.png

# The Windows program cross-built with Qt for MinGW (scripts/qt6-mingw.sh provides it), then its
# folder, zip and installer.
windows-program: deps
	prefix=$$(bash scripts/qt6-mingw.sh | tail -n 1) && \
	cmake -S . -B $(BUILD_WINPKG) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(LAUNCHER) \
	    -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVLX_QT_PREFIX="$$prefix" -DVLX_BUILD_TESTS=OFF && \
	cmake --build $(BUILD_WINPKG) -j$(JOBS) --target vlxconfigurator

package-windows: windows-program
	bash scripts/package-windows.sh $(BUILD_WINPKG)

# The main window of the installed program under Wine on the sample, taken by the Windows
# end-to-end test of the nine pages.
screenshot-windows: build windows-program
	VLX_WINDOWS_SCREENSHOT=$(CURDIR)/docs/screenshot-windows.png \
	VLX_WINDOWS_E2E_FILTER='InstalledOnWine.AnEditOnEveryPage*' \
	JOBS=$(JOBS) bash scripts/test-windows-installed.sh $(BUILD) $(BUILD_WINPKG)
