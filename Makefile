# Set-up and everyday commands. Each target installs whatever Debian packages
# are missing first, so a fresh Debian 12 machine needs nothing else.

BUILD_DIR ?= build
PACKAGES := $(shell grep -v '^\#' scripts/debian-packages.txt)
DEV_PACKAGES := $(shell grep -v '^\#' scripts/debian-dev-packages.txt)
JOBS ?= $(shell nproc)

.PHONY: all deps dev-tools configure build run test test-sanitize bench clean

all: build

deps:
	@scripts/install-packages.sh $(PACKAGES)

dev-tools: deps
	@scripts/install-packages.sh $(DEV_PACKAGES)

configure: deps
	@test -f $(BUILD_DIR)/build.ninja || cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/quillory

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in
# its own build folder. Leaks count as failures; the only suppressions are
# for third-party libraries' own allocations (scripts/lsan-suppressions.txt).
SANITIZE_DIR ?= build-sanitize
test-sanitize: deps
	@test -f $(SANITIZE_DIR)/build.ninja || cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORY_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_BUILD_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD_DIR)
