#!/usr/bin/env bash
# subclientconf estimate and which on a tree made here: a file with two hard
# links is counted once, a symbolic link is listed and not followed, a
# missing start point is reported and skipped, nodirs are not entered; which
# reads NUL-separated paths and writes NUL-terminated fields.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/tree/data/keep" "$work/tree/data/other" "$work/tree/elsewhere"
printf '12345' > "$work/tree/data/keep/a"
ln "$work/tree/data/keep/a" "$work/tree/data/keep/b"
printf 'xyz' > "$work/tree/elsewhere/c"
ln -s ../../elsewhere "$work/tree/data/keep/link"
printf 'other' > "$work/tree/data/other/d"
printf '\tData\n/data\n/missing\n\tOther\n/data/other\n' > "$work/defs"

fail() { echo "FAIL: $*" >&2; exit 1; }

listing=$("$tool" estimate "$work/defs" --subclient Data --root "$work/tree" 2>"$work/errors")
expected=$'/data/\n/data/keep/\n/data/keep/a\n/data/keep/b\n/data/keep/link -> ../../elsewhere'
[[ $listing == "$expected" ]] || fail "listing: $listing"
grep -qx 'subclientconf: cannot read /missing: No such file or directory (skipped)' "$work/errors" ||
  fail "errors: $(cat "$work/errors")"

summary=$("$tool" estimate "$work/defs" --subclient Data --root "$work/tree" --summary 2>/dev/null)
[[ $summary == 'Data: 1 files, 2 folders, 1 links, 0 other, 5 bytes' ]] || fail "summary: $summary"

json=$("$tool" estimate "$work/defs" --subclient Data --root "$work/tree" --summary --json 2>/dev/null)
grep -q '"path": "/missing"' <<<"$json" || fail "json: $json"

answer=$(printf '/data/keep/a\0/data/other/d\0' | "$tool" which "$work/defs" --stdin -z --porcelain | tr '\0' '|')
[[ $answer == '/data/keep/a|Data|content|/data|/data/other/d|Other|content|/data/other|' ]] || fail "which: $answer"
# ifind expands the wildcard content in its folder on disk.
printf '\tLogs\n%s/tree/data/keep/*\\/\\/\n' "$work" > "$work/wild"
expanded=$("$tool" list "$work/wild" --ifind --subclient Logs)
expected="Logs (2)
  scan  +$work/tree/data/keep/a
  scan  +$work/tree/data/keep/b
  scan  +$work/tree/data/keep/link"
[[ $(sort <<<"$expanded") == $(sort <<<"$expected") ]] || fail "ifind: $expanded"
echo "1 passed, 0 failed"
