#!/usr/bin/env bash
# Cross-builds the helper and its tests for Windows with MinGW-w64 and runs them under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build-windows}
scripts/install-deps.sh windows

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
[ -x "$wine" ] || { echo "Wine loader not found" >&2; exit 1; }

# A private prefix in the build folder, so nothing outside it is touched.
mkdir -p "$build_dir/wineprefix"
export WINEPREFIX="$(cd "$build_dir/wineprefix" && pwd)" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null || true' EXIT

# One server for the whole run: each test then starts in milliseconds instead of seconds. The
# prefix must be complete before the build runs test executables (two at a time) in it, so a
# boot that left it unusable is done again from scratch.
boot_prefix() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -p
  "$wine" wineboot --init >"$build_dir/wineboot.log" 2>&1 || true
  [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] &&
    "$wine" cmd /c exit >/dev/null 2>&1
}
if ! boot_prefix; then
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
  boot_prefix || { echo "Wine prefix could not be set up:" >&2; cat "$build_dir/wineboot.log" >&2; exit 1; }
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DZQ_BUILD_ENGINE=OFF -DZQ_BUILD_BENCH=OFF "$@"
cmake --build "$build_dir" -j 2
# Wine now and then fails to start a test process at all (no output, no result); such a test
# gets up to two more tries. A test that fails for real fails every try.
ctest --test-dir "$build_dir" --output-on-failure --no-tests=error -j 2 --repeat until-pass:3
