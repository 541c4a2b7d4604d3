#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on its kept corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-30}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
# Real workbooks, read where they are and never copied into the tree.
shared_corpus=${FUZZ_SHARED_CORPUS:-../shared/corpus}
scripts/install-deps.sh test fuzz
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZQ_FUZZ=ON -DZQ_BUILD_BENCH=OFF
cmake --build "$build_dir" --target fuzz_targets

# Seeds for the package fuzzer: the small packages of the shared corpus, when it is present
# (small, so that loading them takes a few seconds of the run).
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
if [ -f "$shared_corpus/manifest.tsv" ]; then
  awk -F'\t' 'NR > 1 && $7 == "zip" && $5 <= 8192 { print $1 }' "$shared_corpus/manifest.tsv" |
    while read -r file; do cp "$shared_corpus/files/$file" "$seeds/"; done
fi
echo "--- $(find "$seeds" -type f | wc -l) seed packages from $shared_corpus"

# Undefined behaviour is a finding like a crash: stop at the first report.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for fuzzer in "$build_dir"/fuzz/fuzz_*; do
  name=$(basename "$fuzzer")
  corpus=tests/fuzz/corpus/${name#fuzz_}
  options=()
  inputs=("$corpus")
  case $name in
    # Formulas may be long (the application allows 8,192 characters).
    fuzz_formula_parser) options=(-max_len=20000 -len_control=0) ;;
    # Whole packages; the kept seeds are the reader's packages.
    fuzz_package_parts) options=(-max_len=262144); inputs=(tests/fuzz/corpus/workbook_reader "$seeds") ;;
  esac
  work=$(mktemp -d)
  echo "--- $name for ${seconds}s"
  # New inputs go to a scratch folder, so the kept corpus only changes by hand.
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "${options[@]}" "$work" "${inputs[@]}" 2>&1 |
    grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)|ERROR|SUMMARY" || true
  status=${PIPESTATUS[0]}
  rm -rf "$work"
  [ "$status" -eq 0 ] || { echo "$name failed"; exit 1; }
done
