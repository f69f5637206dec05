# bash completion for subclientconf: subcommands and options from the
# program's own help, and for --subclient the names in the FILE given.
_subclientconf()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local program=${COMP_WORDS[0]} sub="" file="" word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        if [[ -z $sub && $word != -* ]]; then
            sub=$word
        elif [[ -n $sub && -z $file && $word != -* && -f $word ]]; then
            file=$word
        fi
    done
    if [[ -z $sub ]]; then
        COMPREPLY=($(compgen -W "$("$program" --help 2>/dev/null | sed -n '/^Subcommands:/,$s/^  \([a-z]*\).*/\1/p') help --help --version" -- "$cur"))
    elif [[ $prev == --subclient && -n $file ]]; then
        local IFS=$'\n'
        COMPREPLY=($(compgen -W "$("$program" list "$file" --partial 2>/dev/null | sed -n 's/^\([^ ].*\) ([0-9]*)$/\1/p')" -- "$cur"))
    elif [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$("$program" "$sub" --help 2>/dev/null | grep -o -- '--\?[a-zA-Z][-a-zA-Z]*' | grep '^-' | sort -u)" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _subclientconf subclientconf
