#!/usr/bin/env bash
# Builds the .deb with cpack, checks its fields and contents, installs it with dpkg into a
# scratch root and runs tasks and the packaged examples through the program found on PATH, with
# no runtime configured; then removes it again.
set -euo pipefail

build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zq_package_test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

check_contains() {  # what, haystack, needle
  grep -qF -- "$3" <<<"$2" || fail "$1 lacks '$3'"
}

cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
shopt -s nullglob
packages=("$scratch"/package/*.deb)
[ ${#packages[@]} -eq 1 ] || { echo "FAIL: expected one .deb, found ${#packages[@]}" >&2; exit 1; }
deb=${packages[0]}

# Fields: the name and a maintainer; the dependencies are checked on the unpacked programs.
[ "$(dpkg-deb --field "$deb" Package)" = zq-builder-helper ] || fail "package name"
maintainer=$(dpkg-deb --field "$deb" Maintainer)
grep -Eq '^[^<>]+ <[^<>@ ]+@[^<>@ ]+\.[a-z]+>$' <<<"$maintainer" || fail "Maintainer '$maintainer'"
grep -q '@localhost>' <<<"$maintainer" && fail "Maintainer '$maintainer' is no address"

# Contents: the program, the link to it, and every file of the built runtime.
contents=$(dpkg-deb --contents "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
check_contains contents "$contents" "./usr/lib/zq_builder_helper/zq_builder_helper"
check_contains contents "$contents" \
  "./usr/bin/zq_builder_helper -> ../lib/zq_builder_helper/zq_builder_helper"
runtime_files=0
while IFS= read -r file; do
  check_contains contents "$contents" "./usr/lib/zq_builder_helper/runtime/$file"
  runtime_files=$((runtime_files + 1))
done < <(cd "$build_dir/runtime" && find . -type f -printf '%P\n')
[ "$runtime_files" -ge 6 ] || fail "the built runtime holds only $runtime_files files"
# What a user needs beside the programs.
doc=./usr/share/doc/zq-builder-helper
for file in "$doc/README.md" "$doc/copyright" "$doc/scriptorix/README.md" \
  "$doc/docs/design-notes.md" ./usr/share/zq-builder-helper/task.schema.json; do
  check_contains contents "$contents" "$file"
done
while IFS= read -r file; do
  check_contains contents "$contents" "$doc/examples/$file"
done < <(cd "$source_dir/examples" && find . -path ./out -prune -o -type f -printf '%P\n')

# Install into a scratch root of its own (its dependencies are the host's), from a folder that
# holds nothing of the build, with no runtime named.
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg_root=(dpkg --root="$root" --log=/dev/null --force-depends --force-not-root --force-script-chrootless)
"${dpkg_root[@]}" -i "$deb" >"$scratch/dpkg.log" 2>&1 ||
  { cat "$scratch/dpkg.log" >&2; echo "FAIL: dpkg --root -i" >&2; exit 1; }
helper=$root/usr/bin/zq_builder_helper
[ -L "$helper" ] || fail "bin/zq_builder_helper is not a link"
engine=$root/usr/lib/zq_builder_helper/runtime/scriptorix.exe
[ -x "$engine" ] || fail "engine not executable"

# Every shared library the programs load must come from a package the .deb depends on.
depends=$(dpkg-deb --field "$deb" Depends | tr ',|' '\n\n' | awk '{ print $1 }' | sort -u)
needed=$(for program in "$root/usr/lib/zq_builder_helper/zq_builder_helper" "$engine"; do
  readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
done | sort -u)
grep -q '^libjavascriptcoregtk-4\.1\.so' <<<"$needed" || fail "the engine does not load JavaScriptCore"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for soname in $needed; do
  owner=$(dpkg -S "*/$soname" 2>/dev/null | grep -F -- "/$multiarch/$soname" | head -n 1 |
    cut -d: -f1 || true)
  if [ -z "$owner" ]; then
    fail "no installed package holds $soname"
  elif ! grep -qx -- "$owner" <<<"$depends"; then
    fail "Depends lacks $owner (for $soname): $(echo $depends)"
  fi
done
unset ZQ_SCRIPTORIX_RUNTIME_DIR
export PATH="$root/usr/bin:$PATH"
[ "$(command -v zq_builder_helper)" = "$helper" ] || fail "zq_builder_helper is not found on PATH"
[ "$(zq_builder_helper --version)" = "zq_builder_helper $(dpkg-deb --field "$deb" Version)" ] ||
  fail "--version: $(zq_builder_helper --version)"

work=$scratch/work
mkdir -p "$work"
cat >"$work/task.json" <<'TASK'
{
  "output": "out/book.xlsx",
  "resultOutput": "out/answers.json",
  "actions": [
    { "cmd": "addSheet", "name": "Packaged" },
    { "cmd": "setValue", "cell": "A1", "value": 42 },
    { "cmd": "getValue", "cell": "A1", "result": "answer" },
    { "cmd": "getSheets", "result": "sheets" }
  ]
}
TASK
if (cd "$work" && zq_builder_helper task.json >"$scratch/stdout" 2>"$scratch/stderr"); then
  [ "$(cat "$scratch/stdout")" = 'Created "out/book.xlsx"' ] ||
    fail "unexpected success line: $(cat "$scratch/stdout")"
  [ "$(head -c 2 "$work/out/book.xlsx")" = PK ] || fail "out/book.xlsx is no zip package"
  answers=$(cat "$work/out/answers.json")
  [ "$answers" = '{"answer":42,"sheets":["Packaged"]}' ] || fail "unexpected answers: $answers"
else
  fail "task failed: $(cat "$scratch/stderr")"
fi

# The examples the package carries, from a copy of their folder (the template before the quote
# made from it); each must save a workbook.
cp -r "$root/${doc#./}/examples" "$scratch/examples"
for example in invoice report csv_edit quote_template quote_from_template; do
  (cd "$scratch/examples" && zq_builder_helper "$example.json" >/dev/null 2>"$scratch/example.err") ||
    fail "examples/$example.json: $(cat "$scratch/example.err")"
done
[ "$(find "$scratch/examples/out" -name '*.xl[st]x' | wc -l)" -eq 5 ] ||
  fail "the examples saved $(find "$scratch/examples/out" -name '*.xl[st]x' | wc -l) workbooks, not 5"

# Removing it leaves nothing of it behind.
"${dpkg_root[@]}" -r zq-builder-helper >"$scratch/dpkg.log" 2>&1 || fail "dpkg --root -r: $(cat "$scratch/dpkg.log")"
[ -z "$(find "$root/usr" -type f -o -type l)" ] || fail "left after removal: $(find "$root/usr" -type f -o -type l)"

if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "package checks passed: $(basename "$deb")"
