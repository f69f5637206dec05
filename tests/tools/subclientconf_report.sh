#!/usr/bin/env bash
# subclientconf report: on the example tree and on a generated one of over
# 100,000 entries with nested subclients, wildcards and nodirs, each
# subclient's row equals estimate --summary of that subclient and the rows add
# up to the total; the figures do not depend on the number of threads; a
# folder that cannot be read is named in text, JSON and page, with status 3.
set -euo pipefail
tool=$1
examples=$2
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# FILE ROOT [load options]: the report's rows, each in estimate --summary's
# words, must be what estimate --summary says of that subclient, and the rows
# (with "not backed up") must add up to the total. awk reads to the end, so
# the report never writes into a closed pipe.
partition() {
  local file=$1 root=$2 name
  shift 2
  "$tool" report "$file" --root "$root" --jobs 2 "$@" | awk '
    NR == 1 { next }
    /^$/ { done = 1 }
    done { next }
    { label = $0; sub(/ +[0-9].*$/, "", label); sub(/ \([0-9]+\)$/, "", label) }
    label == "total" { for (i = 1; i <= 5; i++) wrong = wrong || sum[i] != $(NF - 7 + i); next }
    { for (i = 1; i <= 5; i++) sum[i] += $(NF - 7 + i) }
    label != "not backed up" { printf "%s: %s files, %s folders, %s links, %s other, %s bytes, 0 skipped\n",
                                      label, $(NF - 6), $(NF - 5), $(NF - 4), $(NF - 3), $(NF - 2) }
    END { if (wrong) print "the rows do not add up to the total" }' >"$work/rows"
  while IFS=: read -r name _; do
    "$tool" estimate "$file" --subclient "$name" --root "$root" "$@" --summary 2>/dev/null
  done <"$work/rows" | diff - "$work/rows" >&2 || fail "$file: report and estimate differ"
}

partition "$examples/workstation.subclients" "$examples/tree"
partition "$examples/workstation.backupset" "$examples/tree" --at 1701000001

# 1,000 folders of 100 files each, a hard link and a symbolic link.
big=$work/big
mkdir -p "$big"/{a,b,c,d}/{00..24}/{0..9}
printf '%s\0' "$big"/{a,b,c,d}/{00..24}/{0..9}/f{00..49}.log | xargs -0 truncate -s 1000
printf '%s\0' "$big"/{a,b,c,d}/{00..24}/{0..9}/f{00..49}.txt | xargs -0 truncate -s 7
ln "$big/a/05/1/f00.log" "$big/d/00/0/linked"
ln -s ../a "$big/d/link"
printf '\tAlpha\n/a\n\tAlphaNested\n/a/05\n\tLogs\n/b/07/3/*.log\\/\\/\n\tCees\n/c/1*\\/\\/\n\tDeep\n/c/12/4\n' >"$work/defs"
partition "$work/defs" "$big"
"$tool" report "$work/defs" --root "$big" --json --jobs 1 >"$work/one"
"$tool" report "$work/defs" --root "$big" --json --jobs 4 >"$work/four"
cmp -s "$work/one" "$work/four" || fail "--jobs 4 differs from --jobs 1"

# A folder whose path is longer than the system takes cannot be read.
long=$(printf 'n%.0s' {1..200})
mkdir -p "$work/deep/top/$(printf "$long/%.0s" {1..22})"
printf '\tTop\n/top\n' >"$work/deepdefs"
status=0
"$tool" report "$work/deepdefs" --root "$work/deep" --html "$work/page.html" >"$work/text" 2>"$work/errors" || status=$?
((status == 3)) || fail "unreadable: status $status"
grep -q '^unreadable, skipped by the walk:' "$work/text" || fail "unreadable: not in the text"
grep -q 'File name too long (skipped)$' "$work/errors" || fail "unreadable: not on standard error"
grep -q '"unreadable":\[{"path":"[^"]*/top/nnn[^"]*","error":"File name too long"' "$work/page.html" || fail "unreadable: not in the page"
"$tool" report "$work/deepdefs" --root "$work/deep" --json >"$work/json" 2>/dev/null || true
grep -q '"error": "File name too long"' "$work/json" || fail "unreadable: not in the JSON"
echo "1 passed, 0 failed"
