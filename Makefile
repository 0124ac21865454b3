# Two commands for a new machine: `make run` builds and starts Quillet, `make test` builds and runs every test.
BUILD ?= build
SAN_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

# SAN_GUI=OFF leaves the desktop program and its tests out of the sanitizer build.
SAN_GUI ?= ON
FUZZ_SECONDS ?= 30
# The smoke run follows one fixed path through the inputs, so that it finds on every machine what it
# found on ours; `make fuzz-smoke FUZZ_SEED=` lets libFuzzer pick a new one.
FUZZ_SEED ?= 1

.PHONY: deps configure build run test test-plain test-sanitize fuzz-smoke clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-quillet.sh $(BUILD)

test: test-plain test-sanitize fuzz-smoke

test-plain: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_SANITIZE=ON \
	  -DQUILLET_BUILD_GUI=$(SAN_GUI) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)
	@cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# A short run of each fuzz target; `make fuzz-smoke FUZZ_SECONDS=600` for a long one.
fuzz-smoke: deps
	@if command -v clang++ >/dev/null 2>&1; then JOBS=$(JOBS) FUZZ_SEED=$(FUZZ_SEED) bash scripts/fuzz.sh $(FUZZ_SECONDS); \
	else echo "clang++ is missing: the fuzz targets are not run"; fi

clean:
	rm -rf $(BUILD) $(SAN_BUILD) build-fuzz
