#!/usr/bin/env bash
# Cross-builds the helper and its tests for Windows with MinGW-w64 and runs them under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build-windows}
scripts/install-deps.sh

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
[ -x "$wine" ] || { echo "Wine loader not found" >&2; exit 1; }

# A private prefix in the build folder, so nothing outside it is touched.
mkdir -p "$build_dir/wineprefix"
export WINEPREFIX="$(cd "$build_dir/wineprefix" && pwd)" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One server for the whole run: each test then starts in milliseconds instead of seconds.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" wineboot --init >/dev/null 2>&1 || true

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DZQ_BUILD_ENGINE=OFF -DZQ_BUILD_BENCH=OFF "$@"
cmake --build "$build_dir" -j 2
ctest --test-dir "$build_dir" --output-on-failure -j 2
