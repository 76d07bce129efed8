#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives corvane-print's bash completion in a real bash with bash-completion
# loaded, as a Tab press would: the words typed so far in COMP_WORDS, the
# completion function called, its COMPREPLY read back.
#   completion.sh CORVANE_PRINT COMPLETION_FILE
set -euo pipefail
program=$(realpath "$1")
completion=$(realpath "$2")
library=/usr/share/bash-completion/bash_completion
[ -f "$library" ] || { echo "FAIL: $library is missing (the package bash-completion)" >&2; exit 1; }
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Samples" "$work/out dir"
touch "$work/Samples/Budget 2014.xls" "$work/Samples/Budget.ods" "$work/Samples/Other.xlsx" "$work/loose.xls"

# Completes the words given, the last one being the one under the cursor;
# prints COMPREPLY sorted, one entry a line. The options the function asked
# for with compopt land in $work/compopt: outside a real Tab press the
# builtin cannot be called, and they decide how readline quotes the result.
complete_words() {
    (cd "$work" && bash --norc --noprofile -c '
        library=$1 completion=$2 record=$3
        shift 3
        source "$library"
        source "$completion"
        compopt() { local IFS=" "; printf "%s\n" "$*" >> "$record"; }
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        _corvane_print corvane-print "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        [ "${#COMPREPLY[@]}" -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort
    ' bash "$library" "$completion" "$work/compopt" corvane-print "$@")
}

expect() { # DESCRIPTION EXPECTED-LINES WORDS...
    local what=$1 expected=$2
    shift 2
    rm -f "$work/compopt"
    local got
    got=$(complete_words "$@") || fail "$what: the completion function failed"
    [ "$got" = "$expected" ] || fail "$what: offered
$got
instead of
$expected"
}

# A name with a space is one entry, and readline is told that the entries are
# file names (so that it quotes the space when it inserts one).
expect "files under Samples/B" $'Samples/Budget 2014.xls\nSamples/Budget.ods' Samples/B
grep -qx -- "-o filenames" "$work/compopt" || fail "file names are completed without compopt -o filenames"
expect "a folder's name with a space" $'out dir' out

# --extension offers the extensions and the "every file" pattern, quoted,
# never the files of the current folder.
expect "-e" $'\\*\nods\nxls\nxlsb\nxlsm\nxlsx' -e ""
expect "--extension xl" $'xls\nxlsb\nxlsm\nxlsx' --extension xl

# --pdf wants a folder.
expect "--pdf" $'Samples\nout dir' --pdf ""

# Every option --help lists, and nothing else.
help_options=$("$program" --help | sed -nE 's/^  (-[a-zA-Z], )?(--[a-z][a-z-]*).*/\2/p' | LC_ALL=C sort)
[ "$(wc -l <<<"$help_options")" -ge 15 ] || fail "--help lists too few options: $help_options"
expect "the options" "$help_options" --
expect "options starting --co" $'--collate\n--copies' --co
expect "--duplex" $'long\noff\nshort' --duplex ""

echo "completion of corvane-print checked"
