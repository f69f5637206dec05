#!/usr/bin/env bash
# The bash completion: subcommands and options from the help, and after
# --subclient the names in the FILE given. Usage: subclientconf_completion.sh TOOL SOURCE_DIR
set -euo pipefail
tool=$1
cd "$2"
source tools/subclientconf/subclientconf.bash
expect() {  # EXPECTED WORD...: the completions of the last of the words typed
  local expected=$1
  shift
  COMP_WORDS=("$tool" "$@")
  COMP_CWORD=$#
  _subclientconf
  [[ "${COMPREPLY[*]}" == "$expected" ]] || { echo "completing $* gave '${COMPREPLY[*]}', expected '$expected'" >&2; exit 1; }
}
expect "dirlist" di
expect "--porcelain" which --po
expect "Database Downloads" list examples/workstation.subclients --subclient D
