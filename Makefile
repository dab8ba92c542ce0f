# Set-up, build and test entry points. Every target installs what is missing first.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
JOBS ?= 2
WERROR ?= OFF
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 1

.PHONY: all deps configure build run test test-sanitize bench fuzz screenshots package format clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKEDORA_WERROR=$(WERROR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -x $(BUILD_DIR)/bin/skedora ]; then $(BUILD_DIR)/bin/skedora $(ARGS); \
	else $(BUILD_DIR)/bin/skedora-cli --help; fi

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DSKEDORA_WERROR=$(WERROR) \
		-DSKEDORA_SANITIZE=ON -DSKEDORA_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD_DIR)/bin/skedora-bench
	@if [ -x $(BUILD_DIR)/bin/skedora-window-bench ]; then \
		QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bin/skedora-window-bench; fi

fuzz:
	scripts/install-deps --fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_JOBS=$(FUZZ_JOBS) scripts/run-fuzzers

screenshots: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target skedora-screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bin/skedora-screenshots $(BUILD_DIR)/screenshots

package: build
	cmake --build $(BUILD_DIR) --target package

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
