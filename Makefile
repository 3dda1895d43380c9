# The two set-up commands are `make run` and `make test`; both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
# A build folder made earlier with another generator is configured afresh.
CONFIGURE = ./scripts/configure.sh $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all build run test sanitize fuzz bench install package clean

all: build

build:
	./scripts/install-deps.sh run
	$(CONFIGURE) -DZORVIK_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd examples && ../$(BUILD)/ui/zorvik

# The suite, then the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, then
# every fuzz target over its corpus.
test:
	./scripts/install-deps.sh test
	$(CONFIGURE) -DZORVIK_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	./scripts/sanitize-test.sh
	./scripts/fuzz.sh --corpus-only

sanitize:
	./scripts/sanitize-test.sh

# Runs each fuzz target for FUZZ_SECONDS seconds.
fuzz:
	./scripts/fuzz.sh --seconds $(FUZZ_SECONDS)

# Builds the benchmarks with the program and runs each once.
bench:
	./scripts/install-deps.sh run
	$(CONFIGURE) -DZORVIK_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && for b in bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done

install: build
	cmake --install $(BUILD)

package: build
	./scripts/install-deps.sh package
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) build-*
