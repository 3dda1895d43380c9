# The two set-up commands are `make run` and `make test`; both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60

.PHONY: all deps build run test sanitize fuzz install package clean

all: build

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd examples && ../$(BUILD)/ui/zorvik

# The suite, then the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, then
# every fuzz target over its corpus.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	./scripts/sanitize-test.sh
	./scripts/fuzz.sh --corpus-only

sanitize: deps
	./scripts/sanitize-test.sh

# Runs each fuzz target for FUZZ_SECONDS seconds.
fuzz: deps
	./scripts/fuzz.sh --seconds $(FUZZ_SECONDS)

install: build
	cmake --install $(BUILD)

package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) build-*
