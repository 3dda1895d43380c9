# The two set-up commands are `make run` and `make test`; both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
# A build folder made earlier with another generator is configured afresh.
CONFIGURE = ./scripts/configure.sh $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all build run test suite sanitize fuzz bench install package check-releases clean \
	windows package-windows check-windows

all: build

# The editor alone, optimised as it is installed.
build:
	./scripts/install-deps.sh run
	$(CONFIGURE) -DZORVIK_TESTS=OFF -DZORVIK_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd examples && ../$(BUILD)/ui/zorvik

# The editor as it is installed, then the whole suite built and run under AddressSanitizer and
# UndefinedBehaviorSanitizer, then every fuzz target over its corpus. The suite is compiled
# once, with the sanitizers: a plain run of it would find nothing the sanitized run does not.
test: build
	./scripts/install-deps.sh test
	./scripts/sanitize-test.sh
	./scripts/fuzz.sh --corpus-only

# The suite without the sanitizers, quicker to build while working on the code.
suite:
	./scripts/install-deps.sh test
	./scripts/configure.sh build-suite -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_BENCH=OFF
	cmake --build build-suite -j $(JOBS)
	cd build-suite && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

sanitize:
	./scripts/sanitize-test.sh

# Runs each fuzz target for FUZZ_SECONDS seconds.
fuzz:
	./scripts/fuzz.sh --seconds $(FUZZ_SECONDS)

# Builds the benchmarks with the program and runs each once; any of them over its bounds fails
# the target once all have run.
bench:
	./scripts/install-deps.sh bench
	$(CONFIGURE) -DZORVIK_TESTS=OFF -DZORVIK_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && status=0; for b in bench/bench_*; do if [ -f "$$b" ] && [ -x "$$b" ]; then \
	  QT_QPA_PLATFORM=offscreen "$$b" || status=1; fi; done; exit $$status

install: build
	cmake --install $(BUILD)

package: build
	./scripts/install-deps.sh package
	cd $(BUILD) && cpack

# Each supported Debian release from scratch, one line per release: a fresh system, the set-up
# README.md gives, make test, make package, and the .deb installed and started. It needs root
# and the Debian mirror, and so is no part of make test.
check-releases:
	@status=0; \
	for suite in bookworm trixie; do ./scripts/check-release.sh $$suite || status=1; done; \
	exit $$status

# Zorvik for 64-bit Windows, cross-built with mingw-w64: zorvik.exe, one file with Qt linked in,
# and the suite, which runs under Wine. The static Qt it links is built once by
# scripts/windows-qt.sh (about twenty minutes on two cores) and kept in ~/.cache/zorvik.
WINDOWS_BUILD ?= build-windows
HOST_CMAKE_DIR = /usr/lib/$(shell dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)/cmake
windows:
	./scripts/install-deps.sh windows
	qt="$$(./scripts/windows-qt.sh)" && \
	./scripts/configure.sh $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release -DZORVIK_BENCH=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DCMAKE_PREFIX_PATH="$$qt" \
	  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=$(HOST_CMAKE_DIR) \
	  -DZORVIK_TEST_FONT_DIR=Z:/usr/share/fonts/truetype/liberation
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# The installer zorvik-1.0-win64.exe and the portable zorvik-1.0-win64.zip, in WINDOWS_BUILD.
package-windows: windows
	cd $(WINDOWS_BUILD) && cpack -G NSIS
	cmake --build $(WINDOWS_BUILD) --target portable

# The Windows build checked on this machine: the Qt, make windows, the suite under Wine, the
# installer installed silently and the installed program started under Xvfb. It prints each
# step's time; the Qt build makes it too long for make test.
check-windows:
	./scripts/check-windows.sh

clean:
	rm -rf $(BUILD) build-*
