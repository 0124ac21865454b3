#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz/) and runs each for a number of
# seconds, one after the other, on one core.
#
#   scripts/fuzz.sh [seconds] [target...]     default: 60 seconds, every target
#   FUZZ_SEED=N scripts/fuzz.sh ...           the same inputs in the same order as any run with N
#
# Seeds: samples/, the inputs that once found a fault (fuzz/regressions/<target>) and the real
# tables in ../shared/dbf-corpus (read in place, never copied).
# What the fuzzer learns stays in build-fuzz/corpus/<target>; a crash, leak or timeout is
# written to build-fuzz/findings/<target>/ and makes the script fail. Replay one with
#   build-fuzz/fuzz/<target> build-fuzz/findings/<target>/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
all_targets=(read_table_fuzz export_fuzz)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=("${all_targets[@]}"); fi

build=${FUZZ_BUILD:-build-fuzz}
jobs=${JOBS:-2}
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLET_FUZZ=ON -DQUILLET_BUILD_GUI=OFF -DQUILLET_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

seeds=(samples)
seed_option=()
if [ -n "${FUZZ_SEED:-}" ]; then seed_option=(-seed="$FUZZ_SEED"); fi
corpus_dir=$(sed -n 's/^QUILLET_CORPUS_DIR:PATH=//p' "$build/CMakeCache.txt")
if [ -d "$corpus_dir" ]; then seeds+=("$corpus_dir"); fi

# The export target writes seven files per input; memory-backed files keep it fast.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target" "$build/findings/$target"
  echo "== $target: $seconds s"
  # Tables of real size do not fit -max_len and are cut when loaded; what matters in them
  # (header, descriptors, the first records) sits at the start.
  log="$build/findings/$target/last-run.log"
  set +e
  regressions=()
  if [ -d "fuzz/regressions/$target" ]; then regressions=("fuzz/regressions/$target"); fi
  "$build/fuzz/$target" "${seed_option[@]}" \
    -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target/" \
    "$build/corpus/$target" "${regressions[@]}" "${seeds[@]}" >"$log" 2>&1
  status=$?
  set -e
  grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|==[0-9]+==|SUMMARY|artifact_prefix|broken:)' "$log" || true
  if [ "$status" -ne 0 ]; then
    # The top of the stack says where; the whole log stays behind for a closer look.
    grep -E '^[[:space:]]+#[0-9]+ ' "$log" | grep -v -E 'libFuzzer|fuzzer::|libc|sanitizer_' | head -12 >&2 || true
    echo "fuzz.sh: $target found a fault (exit $status); see $build/findings/$target/last-run.log" >&2
    exit "$status"
  fi
done
