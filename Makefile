# Thin wrapper over CMake. The two commands a new user needs:
#   make run    installs what is missing, builds, and starts the workbench
#   make test   installs what is missing, builds, and runs the whole test suite
BUILD ?= build
JOBS  ?= $(shell nproc)
RUN_DIR ?= workspace

.PHONY: all build run test bench deps test-deps clean

all: build

deps:
	@bash scripts/install-deps.sh build

test-deps:
	@bash scripts/install-deps.sh test

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@bash scripts/run.sh $(BUILD) $(RUN_DIR) $(ARGS)

test: test-deps build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	./$(BUILD)/bench/kmwb_bench

clean:
	rm -rf $(BUILD)
