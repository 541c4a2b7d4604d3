#!/usr/bin/env bash
# Installs the Debian packages of the named profiles (default: run), and only those missing.
#   run      building the helper and the engine, and running them
#   test     run, plus what the test suites and the benchmarks need
#   windows  the MinGW-w64 cross build and Wine, for scripts/windows-test.sh
#   fuzz     clang and its libFuzzer runtime, for scripts/fuzz.sh (which also needs test)
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  libjavascriptcoregtk-4.1-dev libzip-dev libpugixml-dev zlib1g-dev
)
test_packages=(
  "${run_packages[@]}"
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-openpyxl python3-xlsxwriter python3-jsonschema
  libreoffice-calc-nogui poppler-utils clang-format
  dpkg-dev file
)
# The cross build compiles GoogleTest from Debian's sources and runs the schema test on the host.
windows_packages=(
  cmake ninja-build python3 python3-jsonschema
  g++-mingw-w64-x86-64 wine64 googletest
)
fuzz_packages=(clang libclang-rt-14-dev)

[ $# -gt 0 ] || set -- run
packages=()
for profile in "$@"; do
  case $profile in
    run) packages+=("${run_packages[@]}") ;;
    test) packages+=("${test_packages[@]}") ;;
    windows) packages+=("${windows_packages[@]}") ;;
    fuzz) packages+=("${fuzz_packages[@]}") ;;
    *) echo "install-deps.sh: unknown profile '$profile' (run, test, windows, fuzz)" >&2; exit 2 ;;
  esac
done

missing=()
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi
