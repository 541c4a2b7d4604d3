#!/usr/bin/env bash
# Fresh Debian machine to a passing test suite: install, configure, build, run every test.
# Options after the script's name go to cmake after the defaults here, so they win.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
scripts/install-deps.sh test
# Every option given each time, so an older cache in the folder cannot switch tests off.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZQ_BUILD_ENGINE=ON -DZQ_BUILD_TESTS=ON -DZQ_BUILD_BENCH=ON -DZQ_SANITIZE=OFF -DZQ_FUZZ=OFF "$@"
cmake --build "$build_dir"
ctest --test-dir "$build_dir" --output-on-failure --no-tests=error -j "$(nproc)"
