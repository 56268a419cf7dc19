# Thin wrapper around CMake. `make test` is what CI runs.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test sanitize bench run clean

all: build

deps:
	bash scripts/install-deps.sh

configure:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The engine and its tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	cmake -S . -B $(BUILD)-asan -DTW_SANITIZE=ON -DTW_ENGINE_ONLY=ON -DTW_BUILD_GUI=OFF \
	      -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(BUILD)-asan --output-on-failure -j $(JOBS)

bench:
	cmake -S . -B $(BUILD)-bench -DTW_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)-bench -j $(JOBS)
	@for b in $(BUILD)-bench/bench/tw_bench_*; do [ -x "$$b" ] && "$$b"; done

run: build
	@echo "The desktop program is not built yet; the engine and its tests are."

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-bench
