#!/usr/bin/env bash
# subclientconf estimate and which on a tree made here: a file with two hard
# links is counted once, a symbolic link is listed and not followed, a
# missing start point is reported by the path read, skipped, counted and
# exits 3, nodirs are not entered; which reads NUL-separated paths and writes
# NUL-terminated fields. Write errors, signals and a byte-order mark too.
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

# Runs the tool; the status must be the first argument.
expect() {
  local status=$1 actual=0
  shift
  "$tool" "$@" || actual=$?
  ((actual == status)) || fail "status $actual, expected $status: $*"
}

listing=$(expect 3 estimate "$work/defs" --subclient Data --root "$work/tree" 2>"$work/errors")
expected=$'/data/\n/data/keep/\n/data/keep/a\n/data/keep/b\n/data/keep/link -> ../../elsewhere'
[[ $listing == "$expected" ]] || fail "listing: $listing"
grep -qx "subclientconf: $work/tree/missing: No such file or directory (skipped)" "$work/errors" ||
  fail "errors: $(cat "$work/errors")"

summary=$(expect 3 estimate "$work/defs" --subclient Data --root "$work/tree" --summary 2>/dev/null)
[[ $summary == 'Data: 1 files, 2 folders, 1 links, 0 other, 5 bytes, 1 skipped' ]] || fail "summary: $summary"

# Output that cannot be written is a failure, whatever the subcommand.
for args in "list $work/defs" "check $work/defs --json" "estimate $work/defs --subclient Other --root $work/tree"; do
  # shellcheck disable=SC2086
  expect 2 $args >/dev/full 2>"$work/errors"
  grep -qx 'subclientconf: write error: No space left on device' "$work/errors" || fail "full: $args"
done

# A signal ends the run after the answers to the paths read so far, with 128+signal.
status=0
{ printf '/data/keep/a\n'; sleep 3; } |
  timeout --preserve-status -s TERM 1 "$tool" which "$work/defs" --stdin --porcelain >"$work/answers" || status=$?
((status == 143)) || fail "signal: status $status"
[[ $(cat "$work/answers") == "/data/keep/a"$'\t'"Data"$'\t'"content"$'\t'"/data"$'\t'"$work/defs:2"$'\t' ]] || fail "signal: $(cat "$work/answers")"

# Odd names: a name that is not UTF-8 is skipped by the walk; control
# characters are quoted in text, raw with -z, escaped in JSON.
mkdir -p "$work/odd/data"
touch "$work/odd/data/bad"$'\xff' "$work/odd/data/esc"$'\e]0;x\a' "$work/odd/data/two"$'\n''lines'
listing=$(expect 3 estimate "$work/defs" --subclient Data --root "$work/odd" 2>"$work/errors")
[[ $listing == $'/data/\n"/data/esc\\033]0;x\\a"\n"/data/two\\nlines"' ]] || fail "quoted: $listing"
LC_ALL=C grep -q '/odd/data/bad.: name not valid UTF-8 (skipped)$' "$work/errors" || fail "not UTF-8: $(cat "$work/errors")"
raw=$(expect 3 estimate "$work/defs" --subclient Data --root "$work/odd" -z 2>/dev/null | tr '\0' '|')
[[ $raw == $'/data/|/data/esc\e]0;x\a|/data/two\nlines|' ]] || fail "-z: $raw"
expect 3 estimate "$work/defs" --subclient Data --root "$work/odd" --json-lines 2>/dev/null >"$work/lines"
(($(wc -l <"$work/lines") == 5)) && grep -q '^{"path":"/data/two\\nlines","type":"file"' "$work/lines" &&
  grep -q '"unreadable":\[{"path":"[^"]*/data/bad\\udcff"' "$work/lines" || fail "json-lines: $(cat "$work/lines")"
expect 1 which "$work/defs" --json /a$'\xfe' /a$'\xff' | grep -c '"path": "/a\\udcf[ef]"' | grep -qx 2 ||
  fail "json names"

# Peer conventions: --version, help, which computes pathTest only to print it.
"$tool" --version | grep -q '^subclientconf .* (libsubclientconf\.so\.[0-9]*)$' || fail "version"
[[ $("$tool" help which) == "$("$tool" which --help)" ]] || fail "help"
tests=$(SUBCLIENTCONF_LOG_LEVEL=3 "$tool" which "$work/defs" --porcelain /data 2>&1 >/dev/null | grep -c 'pathTest path=' || true)
((tests == 0)) || fail "porcelain ran pathTest $tests times"

# Odd inputs get a clear diagnosis; which refuses relative paths, '..' and names that are not UTF-8.
printf '\tA\n/x\0y\n' >"$work/binary"
expect 2 check "$work/binary" 2>&1 | grep -qx "subclientconf: $work/binary:2: not a text file (NUL byte)" || fail "binary"
printf '# a store\n#subclientconf-backupset 1\n' >"$work/late"
expect 2 check "$work/late" 2>&1 | grep -qx "subclientconf: $work/late:2: the store signature must be the first line" ||
  fail "late signature"
{ printf '\tA\n'; for _ in {1..25}; do echo; done; } >"$work/flood"
expect 1 check "$work/flood" | grep -c 'empty line' | grep -qx 21 || fail "flood"
: >"$work/empty"
expect 0 check "$work/empty" 2>&1 >/dev/null | grep -q 'empty file: no subclients' || fail "empty"
verdicts=$(expect 1 which "$work/defs" --porcelain data/keep /data/../etc /data/bad$'\xff' | cut -f3 | tr '\n' ' ')
[[ $verdicts == 'invalid invalid invalid ' ]] || fail "invalid paths: $verdicts"

# A store whose signature follows a UTF-8 byte-order mark is a store.
printf '\xef\xbb\xbf' | cat - "$(dirname "$0")/../../examples/workstation.backupset" >"$work/bom.backupset"
expect 0 check "$work/bom.backupset" >/dev/null

answer=$(printf '/data/keep/a\0/data/other/d\0' | "$tool" which "$work/defs" --stdin -z --porcelain | tr '\0' '|')
[[ $answer == "/data/keep/a|Data|content|/data|$work/defs:2||/data/other/d|Other|content|/data/other|$work/defs:5||" ]] || fail "which: $answer"
echo "1 passed, 0 failed"
