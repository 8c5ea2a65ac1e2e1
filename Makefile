# Set-up and everyday commands. Each target installs whatever Debian packages
# are missing first, so a fresh Debian 12 machine needs nothing else.

BUILD_DIR ?= build
PACKAGES := $(shell grep -v '^\#' scripts/debian-packages.txt)
DEV_PACKAGES := $(shell grep -v '^\#' scripts/debian-dev-packages.txt)
JOBS ?= $(shell nproc)

.PHONY: all deps dev-tools configure build run test bench clean

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

bench: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_BUILD_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD_DIR)
