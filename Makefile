# Thin front end over CMake. `make demo` and `make test` are the two commands
# of the README; the others serve CI and development.
BUILD ?= build
SAN_BUILD ?= build-san
TSAN_BUILD ?= build-tsan
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# WERROR=ON (CI) turns compiler warnings into errors.
WERROR ?= OFF
# What the tests need, as groups of scripts/install-deps.sh. The test targets
# install it first when they may (as root, or with sudo); otherwise they stop
# before building and print the one command to run. TEST_DEPS=test keeps to
# GoogleTest and Google Benchmark (the browser, workbook and locale tests then
# report themselves skipped).
TEST_DEPS ?= test host-tools locale quality

.PHONY: all build demo test test-sanitize test-tsan bench windows windows-check clean install fuzz

all: build

# The library, the host, and the tests and benchmarks when their packages
# are there: `make demo` needs a C++ compiler and CMake only.
build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DLUMAVEIL_WERROR=$(WERROR) $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@sh scripts/demo.sh $(BUILD)

test:
	sh scripts/install-deps.sh $(TEST_DEPS)
	$(MAKE) build CMAKE_ARGS=-DLUMAVEIL_BUILD_TESTS=ON
	cd $(BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)

test-sanitize:
	sh scripts/install-deps.sh $(TEST_DEPS)
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DLUMAVEIL_SANITIZE=ON -DLUMAVEIL_BUILD_BENCH=OFF \
		-DLUMAVEIL_BUILD_TESTS=ON -DLUMAVEIL_WERROR=$(WERROR)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure --no-tests=error -j $(JOBS)

# The threaded paths (the merit evaluation, the ray batches of modes 1 and 4,
# the pool, calls from several threads) under ThreadSanitizer.
test-tsan:
	sh scripts/install-deps.sh test
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMAVEIL_TSAN=ON -DLUMAVEIL_BUILD_BENCH=OFF \
		-DLUMAVEIL_BUILD_TESTS=ON -DLUMAVEIL_WERROR=$(WERROR)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target lumaveil_unit_tests
	TSAN_OPTIONS=halt_on_error=1 $(TSAN_BUILD)/tests/lumaveil_unit_tests --gtest_filter='MeritPaths*:ThreadPool*:Merit*:SerialisedCalls*:RayBatch*:ThreadCounts*:SpotDiagram*:AberrationScan*'

# Installs into PREFIX (default /usr/local); DESTDIR, when set, stages the
# whole tree under it (DESTDIR=/tmp/stage PREFIX=/usr gives /tmp/stage/usr/...).
PREFIX ?= /usr/local
# As root and without DESTDIR, ldconfig then refreshes the dynamic loader's
# cache: programs linked with the library find it in /usr/local/lib.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	@if [ -z "$(DESTDIR)" ] && [ "$$(id -u)" = 0 ] && command -v ldconfig >/dev/null; then ldconfig; fi

bench:
	sh scripts/install-deps.sh test
	$(MAKE) build CMAKE_ARGS=-DLUMAVEIL_BUILD_BENCH=ON
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b; done

# Fuzzing with clang's libFuzzer (build-fuzz): each harness for FUZZ_SECONDS
# seconds; FUZZERS picks some of them (numbers lens_data ray_set mode1..mode6
# report plot csv workbook check).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS ?=
fuzz:
	sh fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(JOBS) $(FUZZERS)

windows:
	bash scripts/windows-build.sh

# The Windows check (tests/windows): first a probe of whether this machine's
# kernel runs 32-bit programs (its answer is the first line printed), then it
# builds the Linux host and both DLLs in WIN_CHECK_BUILD and runs the CTest
# tests labelled windows: the 32-bit DLL's PE file, and every reference case
# and example through the 32-bit DLL under 32-bit Wine against the Linux host
# -- or, where 32-bit programs cannot run, through the 64-bit DLL under 64-bit
# Wine. WINE_PROBE names the program the probe starts (a file the kernel
# refuses simulates a machine without 32-bit support). The tools come from
# `sh scripts/install-deps.sh windows`. One case: cd build-windows-check &&
# ctest -L windows -R windows32/cooke_triplet/m3 --output-on-failure
WIN_CHECK_BUILD ?= build-windows-check
WINE_PROBE ?= /usr/lib/wine/wine
windows-check:
	@mkdir -p $(WIN_CHECK_BUILD)
	@python3 tests/windows/probe.py --loader $(WINE_PROBE) --out $(WIN_CHECK_BUILD)/windows-probe.txt
	cmake -S . -B $(WIN_CHECK_BUILD) -DCMAKE_BUILD_TYPE=Release -DLUMAVEIL_WERROR=$(WERROR) \
		-DLUMAVEIL_BUILD_TESTS=OFF -DLUMAVEIL_BUILD_BENCH=OFF -DLUMAVEIL_WINDOWS_CHECKS=ON \
		-DLUMAVEIL_WINDOWS_CASE_BITS=$$(cut -f1 $(WIN_CHECK_BUILD)/windows-probe.txt)
	cmake --build $(WIN_CHECK_BUILD) -j $(JOBS)
	cd $(WIN_CHECK_BUILD) && { ctest -L windows --output-on-failure -j $(JOBS); status=$$?; \
		python3 $(CURDIR)/tests/windows/summary.py windows-check windows-probe.txt; exit $$status; }

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) build-win32 build-win64 $(WIN_CHECK_BUILD) $(FUZZ_BUILD)
