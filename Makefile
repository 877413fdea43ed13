# The two commands of a fresh Debian 12 machine:
#   make demo   install what is missing, build, run mdioctl on the simulated bench
#   make test   install what is missing, build, run the whole test suite
#               (normal build, then AddressSanitizer + UndefinedBehaviorSanitizer)
BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
JOBS      ?= 2
CMAKE_GEN := -G Ninja

.PHONY: all demo test deps build test-native test-asan format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@scripts/stage.sh "configure and build" \
	  sh -c 'cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && \
	         cmake --build $(BUILD_DIR) -j $(JOBS)'

demo: build
	@scripts/demo.sh $(BUILD_DIR)

test: build
	@scripts/stage.sh "tests" ctest --test-dir $(BUILD_DIR) -j $(JOBS) --output-on-failure
	@$(MAKE) --no-print-directory test-asan

test-asan: deps
	@scripts/stage.sh "sanitized build" \
	  sh -c 'cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DMDIOHOST_SANITIZE=ON \
	           -DMDIOHOST_BUILD_BENCH=OFF >/dev/null && cmake --build $(ASAN_DIR) -j $(JOBS)'
	@scripts/stage.sh "sanitized tests" ctest --test-dir $(ASAN_DIR) -j $(JOBS) --output-on-failure

format:
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
