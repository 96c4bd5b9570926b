# The README's two commands. Both install what is missing, then build incrementally in build/.
BUILD_DIR := build
JOBS ?= $(shell nproc)
# Lets ccache reuse objects between clones in other folders.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: deps configure build run test clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	  cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo; \
	fi

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR)
