#!/usr/bin/env bash
# Builds the .deb with cpack, checks its fields and contents, unpacks it into a scratch root and
# runs tasks through the unpacked bin link, with no runtime configured.
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
[ -n "$(dpkg-deb --field "$deb" Maintainer)" ] || fail "no Maintainer"

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

# Unpack and run, from a folder that holds nothing of the build, with no runtime named.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
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
if (cd "$work" && "$helper" task.json >"$scratch/stdout" 2>"$scratch/stderr"); then
  [ "$(cat "$scratch/stdout")" = 'Created "out/book.xlsx"' ] ||
    fail "unexpected success line: $(cat "$scratch/stdout")"
  [ "$(head -c 2 "$work/out/book.xlsx")" = PK ] || fail "out/book.xlsx is no zip package"
  answers=$(cat "$work/out/answers.json")
  [ "$answers" = '{"answer":42,"sheets":["Packaged"]}' ] || fail "unexpected answers: $answers"
else
  fail "task failed: $(cat "$scratch/stderr")"
fi

# The example the README runs, from a copy of its folder.
if [ -f "$source_dir/examples/invoice.json" ]; then
  cp -r "$source_dir/examples" "$scratch/examples"
  (cd "$scratch/examples" && "$helper" invoice.json >/dev/null 2>"$scratch/example.err") ||
    fail "examples/invoice.json: $(cat "$scratch/example.err")"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "package checks passed: $(basename "$deb")"
