#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test with ctest; then builds the fuzz targets (clang, build-fuzz/) and runs each
# over its seed corpus, and under CI (CI set) fuzzes each for a short fixed time as well.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
build=build-test
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_BUILD_TESTS=ON "${launcher[@]}"
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@" || status=$?
# Tests that could not check what they are for say so in a line of their own; list them here so
# that a skip is never a silent pass.
if [ -f "$build/Testing/Temporary/LastTest.log" ]; then
  grep -h '^not checked: ' "$build/Testing/Temporary/LastTest.log" | sort -u || true
fi
# Fuzz targets: a regression run over the seeds, and under CI 20 s of fuzzing each. A finding
# fails the run.
fuzz_seconds=0
if [ -n "${CI:-}" ]; then fuzz_seconds=20; fi
./scripts/fuzz.sh all "$fuzz_seconds" || status=1
exit "$status"
