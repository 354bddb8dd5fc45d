#!/usr/bin/env bash
# Sets up the machine, then builds and tests everything twice: with g++ in build/
# (tests, fuzz corpus replays, benchmarks, demo, install check) and with clang 14
# under AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/ (tests, corpus
# runs and short libFuzzer runs). Stops at the first failing step.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# Clones in other folders (CI runs in a fresh one) share the compiler cache.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
# The test program uses a precompiled header; these let the cache serve it.
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime

# Any sanitizer report fails the test that caused it.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0:strict_init_order=1:check_initialization_order=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Tests never open windows, whatever the calling environment has.
unset DISPLAY WAYLAND_DISPLAY

start=$SECONDS
step() { echo; echo "==== test.sh: $* ($((SECONDS - start)) s)"; }

step "set-up"
bash tools/setup.sh

step "g++ build in build/"
# Optimised code without debug information (it doubles the compile time), test
# sources unoptimised: the library is what runs hot.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
      -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DRYX_TEST_CODE_FLAGS=-O0 -DRYX_TEST_PCH=ON \
      -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
      -DRYX_SANITIZE=OFF -DRYX_FUZZ=OFF -DRYX_BUILD_TESTS=ON -DRYX_BUILD_BENCH=ON -DRYX_BUILD_DEMO=ON
cmake --build build -j2

step "g++ tests"
ctest --test-dir build --output-on-failure --no-tests=error -j2 2>&1 | tee build/ctest-summary.log
gcc_summary=$(grep -E "tests passed|tests failed" build/ctest-summary.log | tail -1)

step "clang 14 ASan+UBSan+libFuzzer build in build-asan/"
# Line tables are all the sanitizers need for their reports.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
      -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" -DRYX_TEST_CODE_FLAGS=-O0 -DRYX_TEST_PCH=ON \
      -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
      -DRYX_SANITIZE=ON -DRYX_FUZZ=ON -DRYX_BUILD_TESTS=ON -DRYX_BUILD_BENCH=OFF -DRYX_BUILD_DEMO=OFF
cmake --build build-asan -j2

step "sanitizer tests and fuzz runs; the g++ run before: ${gcc_summary}"
exec ctest --test-dir build-asan --no-label-summary --output-on-failure --no-tests=error -j2
