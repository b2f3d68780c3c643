# The two commands of the README. Both install what is missing (as root, Debian 12), then build.
#   make run   builds and starts the program on the bundled example
#   make test  builds with AddressSanitizer + UndefinedBehaviorSanitizer and runs every test
JOBS    ?= $(shell nproc)
EXAMPLE ?= examples/pregao-exemplo.xml

.PHONY: run test deps build build-test bench fuzz clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DPROPOSTA_TESTS=OFF >/dev/null
	cmake --build build/release -j $(JOBS)

run: build
	scripts/run-example build/release $(EXAMPLE)

build-test: deps
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DPROPOSTA_SANITIZE=ON >/dev/null
	cmake --build build/test -j $(JOBS)

test: build-test
	cd build/test && LC_ALL=pt_BR.UTF-8 QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DPROPOSTA_TESTS=OFF -DPROPOSTA_BENCH=ON >/dev/null
	cmake --build build/bench -j $(JOBS)
	scripts/run-benchmarks build/bench

# The fuzz targets under libFuzzer (clang): FUZZ_RUNS runs each, new inputs kept under build/fuzz.
FUZZ_RUNS    ?= 1000000
FUZZ_TARGETS := $(basename $(notdir $(wildcard tests/fuzz/fuzz_*.cpp)))
fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPROPOSTA_TESTS=OFF -DPROPOSTA_FUZZ=ON >/dev/null
	cmake --build build/fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	scripts/run-fuzzers build/fuzz $(FUZZ_RUNS) $(FUZZ_TARGETS)

clean:
	rm -rf build
