# Two commands for a new machine: `make run` builds and starts Quillet, `make test` builds and runs every test.
BUILD ?= build
SAN_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test test-sanitize clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-quillet.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
