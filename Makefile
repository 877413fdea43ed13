# The two commands of a fresh Debian 12 machine:
#   make demo   install what is missing, build, run mdioctl on the simulated bench
#   make test   install what is missing, build, run the whole test suite
#               (Release build and its tests, the install and the .deb files,
#               then AddressSanitizer + UndefinedBehaviorSanitizer, then
#               ThreadSanitizer over the threaded parts, then the 64-bit
#               Windows Release cross build with its tests under Wine and its zip,
#               then each fuzz target for 30 seconds)
# Every stage of make test treats warnings as errors; a plain make does not
# change that setting of build/ (off in a fresh tree).
BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
WIN_DIR   ?= build-win
TSAN_DIR  ?= build-tsan
JOBS      ?= 2
CMAKE_GEN := -G Ninja

WERROR    := -DMDIOHOST_WARNINGS_AS_ERRORS=ON

.PHONY: all demo test deps deps-windows build test-build test-packages test-asan test-tsan \
        test-windows format clean

all: build

deps:
	@scripts/install-deps.sh

deps-windows:
	@scripts/install-deps.sh --windows

# Release: what users and packagers build, and what make test tests.
build: deps
	@scripts/stage.sh "configure and build" \
	  sh -c 'cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release $(BUILD_FLAGS) >/dev/null && \
	         cmake --build $(BUILD_DIR) -j $(JOBS)'

demo: build
	@scripts/demo.sh $(BUILD_DIR)

test-build:
	@$(MAKE) --no-print-directory build BUILD_FLAGS=$(WERROR)

test: test-build
	@scripts/stage.sh "tests" ctest --test-dir $(BUILD_DIR) -j $(JOBS) --output-on-failure
	@scripts/stage.sh "mutation list fits the tree" \
	  scripts/mutate.py --check --build-dir $(BUILD_DIR) scripts/mutants.txt
	@$(MAKE) --no-print-directory test-packages
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-tsan
	@$(MAKE) --no-print-directory test-windows
	@$(MAKE) --no-print-directory test-fuzz

# cmake --install, the examples built against the install, the .deb files
# (reuses build/; make test-packages alone needs a built build/).
test-packages: deps
	@scripts/stage.sh "install and Debian packages" scripts/test-packages.sh $(BUILD_DIR)

test-asan: deps
	@scripts/stage.sh "sanitized build" \
	  sh -c 'cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DMDIOHOST_SANITIZE=ON $(WERROR) \
	           -DMDIOHOST_BUILD_BENCH=OFF >/dev/null && cmake --build $(ASAN_DIR) -j $(JOBS)'
	@scripts/stage.sh "sanitized tests" ctest --test-dir $(ASAN_DIR) -j $(JOBS) --output-on-failure

# The suites where more than one thread runs: the LED blink thread against
# the USB lock, the K8 device and engine, open and close in the registry, and
# whole host sessions over the simulated bench (and the C host program).
# setarch -R turns address randomisation off, which some kernels need for
# ThreadSanitizer to start.
# Tests of suites this stage does not build: gtest's placeholders, the D2XX
# client program, which runs no thread of ours, and the soak, which has its
# own sanitized run (make soak).
TSAN_SKIPPED := _NOT_BUILT|^D2xxClient\.|^Soak\.
TSAN_SUITES := test_leds test_ftdi test_mdio test_registry test_host_session hello_host
test-tsan: deps
	@scripts/stage.sh "thread-sanitized build" \
	  sh -c 'cmake -S . -B $(TSAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DMDIOHOST_SANITIZE_THREAD=ON $(WERROR) \
	           -DMDIOHOST_BUILD_BENCH=OFF -DMDIOHOST_BUILD_TOOLS=OFF >/dev/null && \
	         cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_SUITES)'
	@scripts/stage.sh "thread-sanitized tests" \
	  setarch $$(uname -m) -R ctest --test-dir $(TSAN_DIR) -j $(JOBS) --output-on-failure -E '$(TSAN_SKIPPED)'

# mdiohost.dll, the simulated FTD2XX.dll and the test programs, cross-built
# in Release with mingw-w64; ctest runs each test program under Wine; then
# the zip, unpacked, runs mdioctl.exe.
test-windows: deps-windows
	@scripts/stage.sh "Windows cross build" \
	  sh -c 'cmake -S . -B $(WIN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release $(WERROR) \
	           -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null && \
	         cmake --build $(WIN_DIR) -j $(JOBS)'
	@scripts/stage.sh "Windows tests under Wine" ctest --test-dir $(WIN_DIR) -j $(JOBS) --output-on-failure
	@scripts/stage.sh "Windows zip" scripts/test-windows-package.sh $(WIN_DIR)

# --- Long checks, not part of make test ------------------------------------
.PHONY: soak mutation
# make soak: a random session of SOAK_SECONDS (default two minutes; hours on
# demand) on the simulated bench under AddressSanitizer and LeakSanitizer, in
# the tree make test-asan configures. Faults on one board at a time, every
# value checked by the bench, resident memory and the live heap sampled into
# $(ASAN_DIR)/soak/rss.csv and drawn into rss.svg there. SOAK_SEED repeats a run.
SOAK_SECONDS ?= 120
SOAK_SEED    ?=
soak: deps
	@scripts/stage.sh "sanitized build of the soak" \
	  sh -c 'cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DMDIOHOST_SANITIZE=ON $(WERROR) \
	           -DMDIOHOST_BUILD_BENCH=OFF >/dev/null && cmake --build $(ASAN_DIR) -j $(JOBS) --target mdiohost_soak'
	@scripts/stage.sh "soak ($(SOAK_SECONDS) s)" scripts/soak.sh $(ASAN_DIR) $(SOAK_SECONDS) $(SOAK_SEED)

# make mutation: each one-token fault of scripts/mutants.txt in turn, applied
# to the sources, the tests it names rebuilt (in MUTATION_DIR, configured as
# build/) and run; lists the faults no test kills. Slow: a build per fault.
# The tree is restored after each fault, also when the run is interrupted.
MUTATION_DIR ?= build-mutation
mutation: deps
	@scripts/stage.sh "mutation" scripts/mutate.py --build-dir $(MUTATION_DIR) \
	  --jobs $(JOBS) scripts/mutants.txt

# ---- Fuzzing: libFuzzer targets (fuzz/) in a clang build tree of their own.
# make fuzz runs each target FUZZ_SECONDS (FUZZ_TARGETS: a few of them);
# make test runs each for 30 seconds from its corpus, as a regression
# (FUZZ_REPLAY="target ..." makes those only replay their corpus instead).
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_TARGETS ?=
.PHONY: fuzz fuzz-build test-fuzz
fuzz-build: deps
	@scripts/stage.sh "fuzz build" \
	  sh -c 'CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	           -DMDIOHOST_FUZZ=ON $(WERROR) -DMDIOHOST_BUILD_TESTS=OFF -DMDIOHOST_BUILD_BENCH=OFF \
	           -DMDIOHOST_BUILD_TOOLS=OFF >/dev/null && cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets'
fuzz: fuzz-build
	@scripts/stage.sh "fuzzing" scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_TARGETS)
test-fuzz: fuzz-build
	@scripts/stage.sh "fuzz regression" scripts/fuzz.sh $(FUZZ_DIR) 30
# ---- end of fuzzing

format:
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(WIN_DIR) $(FUZZ_DIR)
