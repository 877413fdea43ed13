# The two commands of a fresh Debian 12 machine:
#   make demo   install what is missing, build, run mdioctl on the simulated bench
#   make test   install what is missing, build, run the whole test suite
#               (normal build, then AddressSanitizer + UndefinedBehaviorSanitizer,
#               then ThreadSanitizer over the threaded parts, then the 64-bit
#               Windows cross build with its tests under Wine)
BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
WIN_DIR   ?= build-win
TSAN_DIR  ?= build-tsan
JOBS      ?= 2
CMAKE_GEN := -G Ninja

.PHONY: all demo test deps deps-windows build test-native test-asan test-tsan test-windows format clean

all: build

deps:
	@scripts/install-deps.sh

deps-windows:
	@scripts/install-deps.sh --windows

build: deps
	@scripts/stage.sh "configure and build" \
	  sh -c 'cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && \
	         cmake --build $(BUILD_DIR) -j $(JOBS)'

demo: build
	@scripts/demo.sh $(BUILD_DIR)

test: build
	@scripts/stage.sh "tests" ctest --test-dir $(BUILD_DIR) -j $(JOBS) --output-on-failure
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-tsan
	@$(MAKE) --no-print-directory test-windows

test-asan: deps
	@scripts/stage.sh "sanitized build" \
	  sh -c 'cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DMDIOHOST_SANITIZE=ON \
	           -DMDIOHOST_BUILD_BENCH=OFF >/dev/null && cmake --build $(ASAN_DIR) -j $(JOBS)'
	@scripts/stage.sh "sanitized tests" ctest --test-dir $(ASAN_DIR) -j $(JOBS) --output-on-failure

# The suites where more than one thread runs: the LED blink thread against
# the USB lock, the K8 device and engine, open and close in the registry, and
# whole host sessions over the simulated bench (and the C host program).
# setarch -R turns address randomisation off, which some kernels need for
# ThreadSanitizer to start.
TSAN_SUITES := test_leds test_ftdi test_mdio test_registry test_host_session hello_host
test-tsan: deps
	@scripts/stage.sh "thread-sanitized build" \
	  sh -c 'cmake -S . -B $(TSAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DMDIOHOST_SANITIZE_THREAD=ON \
	           -DMDIOHOST_BUILD_BENCH=OFF -DMDIOHOST_BUILD_TOOLS=OFF >/dev/null && \
	         cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_SUITES)'
	@scripts/stage.sh "thread-sanitized tests" \
	  setarch $$(uname -m) -R ctest --test-dir $(TSAN_DIR) -j $(JOBS) --output-on-failure -E _NOT_BUILT

# mdiohost.dll, the simulated FTD2XX.dll and the test programs, cross-built
# with mingw-w64; ctest runs each test program under Wine.
test-windows: deps-windows
	@scripts/stage.sh "Windows cross build" \
	  sh -c 'cmake -S . -B $(WIN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	           -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null && \
	         cmake --build $(WIN_DIR) -j $(JOBS)'
	@scripts/stage.sh "Windows tests under Wine" ctest --test-dir $(WIN_DIR) -j $(JOBS) --output-on-failure

format:
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(WIN_DIR)
