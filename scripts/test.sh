#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless. Two builds: a clang build with address,
# undefined-behaviour and leak sanitizers serves the tests and the fuzz targets; a Release build serves the
# benchmarks (built, not run). Prints the time of each stage.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
started=$(date +%s)
stage() {
  local now; now=$(date +%s)
  echo "=== [$((now - started))s] $*"
}

stage "dependencies"
bash scripts/install-deps.sh

stage "configure and build: sanitizers (build/asan)"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="-O1 -g" \
  -DQN_SANITIZE=ON -DQN_FUZZ=ON -DQN_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"

export QT_QPA_PLATFORM=offscreen
# strict_string_checks is left off: system X libraries call strndup on unterminated buffers.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

stage "tests"
# Tests that need a real X server start their own Xvfb (tests/support).
ctest --test-dir build/asan --output-on-failure -j "$jobs" --timeout 600

stage "fuzzing: every target together, at most 3 minutes"
bash scripts/fuzz.sh build/asan 170

stage "configure and build: Release (build/release, benchmarks)"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQN_TESTS=OFF >/dev/null
cmake --build build/release -j "$jobs"

stage "done"
