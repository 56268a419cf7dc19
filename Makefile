# Thin wrapper around CMake. `make test` is what CI runs.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test sanitize fuzz bench bench-check run clean

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

# The project-file fuzz target (clang, libFuzzer, AddressSanitizer and UBSan) for FUZZ_TIME
# seconds, starting from a corpus of saved projects.
FUZZ_TIME ?= 60
fuzz:
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTW_BUILD_FUZZ=ON -DTW_SANITIZE=ON \
	      -DTW_ENGINE_ONLY=ON -DTW_BUILD_TESTS=OFF -DTW_BUILD_GUI=OFF
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target tw_fuzz_project_file tw_fuzz_seeds
	$(BUILD)-fuzz/fuzz/tw_fuzz_seeds $(BUILD)-fuzz/corpus
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  $(BUILD)-fuzz/fuzz/tw_fuzz_project_file -max_total_time=$(FUZZ_TIME) -timeout=10 \
	  -artifact_prefix=$(BUILD)-fuzz/ $(BUILD)-fuzz/corpus

bench:
	cmake -S . -B $(BUILD)-bench -DTW_BUILD_BENCH=ON -DTW_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)-bench -j $(JOBS)
	@for b in $(BUILD)-bench/bench/tw_bench_*; do [ -x "$$b" ] && "$$b"; done

# Builds every benchmark and runs each briefly, so that one which no longer builds, or whose
# wall no longer analyses, is found by CI rather than by the next person who measures.
bench-check:
	cmake -S . -B $(BUILD)-bench -DTW_BUILD_BENCH=ON -DTW_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)-bench -j $(JOBS)
	@for b in $(BUILD)-bench/bench/tw_bench_*; do \
	  [ -x "$$b" ] || continue; \
	  "$$b" --benchmark_min_time=0.01 > /dev/null || { echo "$$b failed"; exit 1; }; \
	done

run: configure
	cmake --build $(BUILD) -j $(JOBS) --target tarnwick
	$(BUILD)/app/tarnwick

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-bench $(BUILD)-fuzz
