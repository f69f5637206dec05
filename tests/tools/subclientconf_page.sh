#!/usr/bin/env bash
# subclientconf report --html, opened in headless Chromium: the rendered page
# holds every subclient's files and bytes, and its
# screenshot is written to the build folder. Skipped (77) only where Chromium
# is missing and the set-up script could not have installed it (not root).
set -euo pipefail
tool=$1
examples=$2
screenshot=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

if ! command -v chromium >/dev/null; then
  (($(id -u) != 0)) || fail "chromium is missing: run scripts/setup"
  echo "chromium is missing and scripts/setup was not run as root: skipped"
  exit 77
fi
browse() {
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --user-data-dir="$work/profile" "$@" 2>>"$work/chromium.log"
}

"$tool" report "$examples/workstation.subclients" --root "$examples/tree" --html "$work/page.html" >/dev/null
browse --dump-dom "file://$work/page.html" >"$work/dom"
# Each subclient's files and bytes, as the report's table and --json give them for the example tree.
for total in "default: 8 files, 119 bytes" "Database: 1 files, 3 bytes" "Logs: 2 files, 85 bytes" \
  "Downloads: 1 files, 24 bytes"; do
  grep -qF "$total" "$work/dom" || fail "the page lacks '$total'"
done
grep -q '<rect' "$work/dom" || fail "the page draws no treemap"
rm -f "$screenshot"
browse --window-size=1040,780 --screenshot="$screenshot" "file://$work/page.html" >/dev/null
[[ -s $screenshot ]] || fail "no screenshot: $(tail -3 "$work/chromium.log")"
echo "1 passed, 0 failed"
