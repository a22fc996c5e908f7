#!/usr/bin/env bash
# Installs what is missing, builds the program (not the tests) and starts it.
# A class file may be named relative to the folder the script is run from:
# the arguments are made absolute before the script changes folder.
set -euo pipefail
args=()
for arg in "$@"; do
    if [ -e "$arg" ] && [ "${arg#/}" = "$arg" ]; then
        arg="$PWD/$arg"
    fi
    args+=("$arg")
done
# The program takes the whole text after its name as one path: a name with
# blanks given unquoted arrives in pieces.
if [ $# -gt 1 ] && [ -e "$*" ]; then
    joined="$*"
    [ "${joined#/}" = "$joined" ] && joined="$PWD/$joined"
    args=("$joined")
fi
cd "$(dirname "$0")"
./scripts/deps.sh
./scripts/build.sh swiadectwa
exec ./build/bin/swiadectwa ${args[@]+"${args[@]}"}
