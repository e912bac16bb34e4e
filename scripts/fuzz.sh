#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (clang, KV_FUZZ=ON, in build-fuzz/) and runs them.
#
#   scripts/fuzz.sh                 every target for 60 s each
#   scripts/fuzz.sh TARGET [SECONDS]  one target (kvp, jpeg, bitmap, icon, metafile, page_list, ...)
#   scripts/fuzz.sh all SECONDS      every target for SECONDS each
#   SECONDS = 0                      regression run: each target over its seed corpus only
#
# A target starts from its seeds in tests/fuzz/corpus/<name>/ (and tests/fuzz/dict/<name>.dict);
# new corpus entries go to $KV_FUZZ_WORK/corpus/<name>/ (default /tmp/kv-fuzz-UID, one per user
# id), outside the tree, and are kept between runs. Any crash, leak or hang input is written to
# $KV_FUZZ_WORK/findings/<name>/ and the script exits non-zero. A fixed finding's input belongs in
# the seed corpus under a name saying what it was (e.g. metafile/regression-emf-zero-size-record).
# At the end one line per target gives the executions per second and the coverage reached.
#
# Environment: KV_FUZZ_BUILD (build folder, default build-fuzz), KV_FUZZ_JOBS (parallel builds,
# default nproc), KV_FUZZ_WORK.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
target=${1:-all}
seconds=${2:-60}
build=${KV_FUZZ_BUILD:-build-fuzz}
work=${KV_FUZZ_WORK:-${TMPDIR:-/tmp}/kv-fuzz-$(id -u)}
case "$seconds" in '' | *[!0-9]*) echo "fuzz.sh: SECONDS must be a whole number" >&2; exit 2 ;; esac

cc=${CC:-clang}
cxx=${CXX:-clang++}
if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "fuzz.sh: $cxx is not installed (packages clang and libclang-rt-14-dev; scripts/install-deps.sh)" >&2
  exit 1
fi
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
# -O1 keeps assertions and compiles fast; coverage guidance does not need more.
cmake -S . -B "$build" -G Ninja -DKV_FUZZ=ON -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE=-O1 -DCMAKE_CXX_FLAGS_RELEASE=-O1 "${launcher[@]}" >/dev/null
mapfile -t all < <(grep -v '^$' "$build/fuzz-targets.txt")
if [ "$target" = all ]; then
  names=("${all[@]}")
else
  name=${target#fuzz_}
  printf '%s\n' "${all[@]}" | grep -qx "fuzz_$name" || {
    echo "fuzz.sh: no target '$target'; targets: ${all[*]#fuzz_}" >&2
    exit 2
  }
  names=("fuzz_$name")
fi
cmake --build "$build" -j "${KV_FUZZ_JOBS:-$(nproc)}" --target "${names[@]}"

export QT_QPA_PLATFORM=offscreen
# Leaks are findings; UBSan reports stop the run like ASan's.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0}"
failed=()
summary=()
for exe in "${names[@]}"; do
  name=${exe#fuzz_}
  seeds="$root/tests/fuzz/corpus/$name"
  findings="$work/findings/$name"
  corpus="$work/corpus/$name"
  mkdir -p "$seeds" "$findings" "$corpus"
  args=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 -artifact_prefix="$findings/" -print_final_stats=1)
  dict="$root/tests/fuzz/dict/$name.dict"
  [ -f "$dict" ] && args+=(-dict="$dict")
  log="$work/$name.log"
  if [ "$seconds" -eq 0 ]; then
    echo "== $name: the seed corpus ($(find "$seeds" -type f | wc -l) files)"
    "$build/tests/fuzz/$exe" "${args[@]}" -runs=0 "$seeds" >"$log" 2>&1 && rc=0 || rc=$?
  else
    echo "== $name: fuzzing for $seconds s (new corpus entries in $corpus)"
    "$build/tests/fuzz/$exe" "${args[@]}" -max_total_time="$seconds" "$corpus" "$seeds" >"$log" 2>&1 && rc=0 || rc=$?
  fi
  stats=$( (grep -E '^#[0-9]+.*(DONE|INITED)' "$log" || true) | tail -n 1 |
    (grep -oE '(cov|ft|corp|exec/s): [0-9]+[^ ]*' || true) | tr '\n' ' ')
  runs=$( (grep -oE '^stat::number_of_executed_units: [0-9]+' "$log" || true) | grep -oE '[0-9]+$' || true)
  summary+=("$(printf '%-12s runs %-9s %s' "$name" "${runs:-?}" "$stats")")
  if [ "$rc" -ne 0 ]; then
    failed+=("$name")
    echo "fuzz.sh: $name found a fault; the input is in $findings/, the log in $log:" >&2
    grep -E 'ERROR|SUMMARY|Test unit written|deadly signal|timeout' "$log" | head -n 5 >&2 || true
  fi
done
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: faults found by: ${failed[*]}" >&2
  exit 1
fi
