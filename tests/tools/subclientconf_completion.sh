#!/usr/bin/env bash
# The bash completion: subcommands and options from the help, and after
# --subclient the names in the FILE given. Usage: subclientconf_completion.sh TOOL SOURCE_DIR
set -euo pipefail
tool=$1
cd "$2"
source tools/subclientconf/subclientconf.bash
complete_line() {  # the words typed, the last one being completed
  COMP_WORDS=("$tool" "$@")
  COMP_CWORD=$#
  _subclientconf
  echo "${COMPREPLY[*]}"
}
expect() {
  [[ "$1" == "$2" ]] || { echo "completing gave '$1', expected '$2'" >&2; exit 1; }
}
expect "$(complete_line di)" "dirlist"
expect "$(complete_line which --po)" "--porcelain"
expect "$(complete_line list examples/workstation.subclients --subclient D)" "Database Downloads"
