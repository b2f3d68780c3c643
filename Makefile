# The two commands of the README (./run and ./test call these after installing make itself). Each
# installs what it is missing (as root, Debian 12; scripts/install-deps says what and why), then
# builds.
#   make run   builds and starts the program on the bundled example (build + run packages only)
#   make test  builds with AddressSanitizer + UndefinedBehaviorSanitizer and runs every test
JOBS    ?= $(shell nproc)
EXAMPLE ?= examples/pregao-exemplo.xml

.PHONY: run test deps deps-test build build-test bench fuzz package tidy tsan format format-check clean

deps:
	scripts/install-deps build

deps-test:
	scripts/install-deps build test

build: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DPROPOSTA_TESTS=OFF >/dev/null
	cmake --build build/release -j $(JOBS)

run: build
	scripts/run-example build/release $(EXAMPLE)

# The test build treats every warning as an error. Its debug information is line tables only
# (enough for the sanitizers' reports, a quarter less compile time than full); the tests' own code
# is not optimized (CMakeLists.txt).
build-test: deps-test
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DPROPOSTA_SANITIZE=ON \
	  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
	cmake --build build/test -j $(JOBS)

test: build-test
	cd build/test && LC_ALL=pt_BR.UTF-8 QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: deps
	scripts/install-deps bench
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DPROPOSTA_TESTS=OFF -DPROPOSTA_BENCH=ON >/dev/null
	cmake --build build/bench -j $(JOBS)
	scripts/run-benchmarks build/bench

# The fuzz targets under libFuzzer (clang): FUZZ_RUNS runs each, new inputs kept under build/fuzz.
FUZZ_RUNS    ?= 1000000
FUZZ_TARGETS := $(basename $(notdir $(wildcard tests/fuzz/fuzz_*.cpp)))
fuzz: deps
	scripts/install-deps fuzz
	CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPROPOSTA_TESTS=OFF -DPROPOSTA_FUZZ=ON >/dev/null
	cmake --build build/fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	scripts/run-fuzzers build/fuzz $(FUZZ_RUNS) $(FUZZ_TARGETS)

# clang-tidy with the root .clang-tidy over TIDY_FILES (default: the report engine), on the
# compile commands of a configured (not built) tree.
TIDY_FILES ?= $(wildcard src/report/*.cpp)
tidy: deps-test
	cmake -S . -B build/tidy -DCMAKE_BUILD_TYPE=Debug -DPROPOSTA_TESTS=OFF \
	  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	clang-tidy -p build/tidy --quiet $(TIDY_FILES)

# The PDF writer's tests (its pages are compressed on a second thread) under ThreadSanitizer.
tsan: deps
	cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
	  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
	cmake --build build/tsan -j $(JOBS) --target test_report
	cd build/tsan && LC_ALL=pt_BR.UTF-8 TSAN_OPTIONS=halt_on_error=1 \
	  ./test_report --gtest_filter='PDF.*:GravaPDF.*'

# Formats every C++ file of the tree with the root .clang-format.
format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails, naming the lines, when a C++ file of the tree is not formatted (CI runs it before the tests).
format-check: deps-test
	clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h')

# The Debian package build/proposta_VERSION_amd64.deb (reproducible; checked by lintian), and the
# test of the package on a fresh Debian 12 root (minutes, network: not part of make test).
package: deps
	scripts/install-deps package
	scripts/empacota $(JOBS)

clean:
	rm -rf build
