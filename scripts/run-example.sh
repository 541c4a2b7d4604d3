#!/usr/bin/env bash
# Fresh Debian machine to a real workbook: install what building and running need, build the
# helper and its engine in build-release/, run an example task.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build-release
scripts/install-deps.sh run
# Every option given each time, so an older cache in the folder cannot change the build.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DZQ_BUILD_ENGINE=ON -DZQ_BUILD_TESTS=OFF -DZQ_BUILD_BENCH=OFF -DZQ_SANITIZE=OFF -DZQ_FUZZ=OFF
cmake --build "$build_dir" --target zq_builder_helper scriptorix
task=${1:-examples/invoice.json}
(cd "$(dirname "$task")" && "$OLDPWD/$build_dir/zq_builder_helper" "$(basename "$task")")
echo "The program: $PWD/$build_dir/zq_builder_helper (its engine in $build_dir/runtime/)"
