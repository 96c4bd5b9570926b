# The README's two commands. Both install what is missing, then build incrementally in build/.
BUILD_DIR := build
JOBS ?= $(shell nproc)
# Lets ccache reuse objects between clones in other folders.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: deps configure build run test package clean format format-check

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

# The Debian package build/plumaret_VERSION_ARCH.deb; a package installs under /usr.
package: configure
	@cmake -DCMAKE_INSTALL_PREFIX=/usr $(BUILD_DIR) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target package

format-check: deps
	@bash scripts/format-check.sh

# Formats every C++ file in place with the pinned clang-format.
format: deps
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 -i

clean:
	rm -rf $(BUILD_DIR)
