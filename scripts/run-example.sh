#!/usr/bin/env bash
# Fresh Debian machine to a real workbook: install, build, run an example task.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZQ_BUILD_TESTS=OFF -DZQ_BUILD_BENCH=OFF
cmake --build build --target zq_builder_helper scriptorix
task=${1:-examples/invoice.json}
(cd "$(dirname "$task")" && "$OLDPWD/build/zq_builder_helper" "$(basename "$task")")
