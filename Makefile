# The front door: every target installs what it needs first.
#   make demo       build and run the bundled example
#   make test       build and run the whole test suite
#   make test-asan  the same tests under AddressSanitizer + UBSan
#   make build      executables in build/bin
#   make bench      benchmarks in build-bench/bin
#   make install PREFIX=/usr/local

PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build demo test test-asan bench fuzz install clean

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORREL_WERROR=ON $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build build -j $(JOBS)

demo: build
	@scripts/demo.sh build/bin

test: build
	@ctest --test-dir build --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORREL_SANITIZE=ON -DORREL_WERROR=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir build-asan --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORREL_BUILD_TESTS=OFF -DORREL_BUILD_BENCH=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-bench -j $(JOBS)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORREL_BUILD_TESTS=OFF -DORREL_BUILD_FUZZ=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-fuzz -j $(JOBS)

install: build
	@cmake --install build --prefix $(PREFIX)

clean:
	@rm -rf build build-asan build-bench build-fuzz
