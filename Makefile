# The two commands of a new user are `make run` and `make test`; the rest serve them.
SHELL     := /bin/bash
JOBS      ?= 2
BUILD     ?= build
PREFIX    ?= /usr/local
CMAKE     ?= cmake
DISK      ?= $(BUILD)/disk

# The compiler's progress is what a user wants to see, not make's directory changes.
MAKEFLAGS += --no-print-directory

.PHONY: all build run test test-format test-folders test-asan test-tsan test-fuzz bench install deps clean

all: build

deps:
	@scripts/install-deps

# The everyday build: optimised with debug information.
build: deps
	@$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEX_TESTS=OFF -DCORVEX_BENCH=OFF > $(BUILD).configure.log || (cat $(BUILD).configure.log; exit 1)
	@$(CMAKE) --build $(BUILD) -j$(JOBS)

# Build, seed a demo panel disk under build/ and start the display with the simulated
# controller, in a window when there is a display and headless otherwise.
run: build
	@scripts/run-demo $(BUILD) $(DISK)

# Everything CI runs: the suite under AddressSanitizer and UndefinedBehaviorSanitizer, the link
# tests under ThreadSanitizer, and a short run of every fuzzer.
test: deps test-format test-folders test-asan test-tsan test-fuzz
	@scripts/test-summary build-asan/ctest.log build-tsan/ctest.log

# No two source folders include each other, directly or through others.
test-folders:
	@scripts/folder-deps > /dev/null

# C++ files changed since the formatting rules came in follow them.
test-format:
	@scripts/check-format

test-asan:
	@$(CMAKE) -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVEX_SANITIZE=address -DCORVEX_BENCH=OFF -DCORVEX_WERROR=ON > build-asan.configure.log || (cat build-asan.configure.log; exit 1)
	@$(CMAKE) --build build-asan -j$(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j$(JOBS) 2>&1 | tee ctest.log; exit $${PIPESTATUS[0]}

test-tsan:
	@$(CMAKE) -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DCORVEX_SANITIZE=thread -DCORVEX_BENCH=OFF -DCORVEX_WERROR=ON > build-tsan.configure.log || (cat build-tsan.configure.log; exit 1)
	@$(CMAKE) --build build-tsan -j$(JOBS) --target test_link $$(test -d tests/sim && echo test_sim)
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure -j$(JOBS) -L 'test_link|test_sim' 2>&1 | tee ctest.log; exit $${PIPESTATUS[0]}

test-fuzz:
	@scripts/fuzz-smoke build-fuzz $(JOBS)

# Optimised benchmarks; prints a table and writes build/bench.json.
bench: deps
	@scripts/bench $(BUILD)-bench $(BUILD) $(JOBS)

install: build
	@$(CMAKE) --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz $(BUILD)-bench *.configure.log
