#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on its kept corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-30}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
scripts/install-deps.sh test fuzz
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZQ_FUZZ=ON -DZQ_BUILD_BENCH=OFF
cmake --build "$build_dir" --target fuzz_targets

# Undefined behaviour is a finding like a crash: stop at the first report.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for fuzzer in "$build_dir"/fuzz/fuzz_*; do
  name=$(basename "$fuzzer")
  corpus=tests/fuzz/corpus/${name#fuzz_}
  work=$(mktemp -d)
  echo "--- $name for ${seconds}s"
  # New inputs go to a scratch folder, so the kept corpus only changes by hand.
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$work" "$corpus" 2>&1 |
    grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)|ERROR|SUMMARY" || true
  status=${PIPESTATUS[0]}
  rm -rf "$work"
  [ "$status" -eq 0 ] || { echo "$name failed"; exit 1; }
done
