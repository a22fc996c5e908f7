#!/usr/bin/env bash
# ./run.sh started from another folder with a relative class file: the
# program gets the file's absolute path (run.sh changes folder before it
# starts the program). Stand-ins take the place of the package install, the
# build and the program, which prints what it was given.
# Usage: check_run.sh <run.sh>
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
repo="$work/repo"
mkdir -p "$repo/scripts" "$repo/build/bin" "$work/teacher/klasy"
cp "$1" "$repo/run.sh"
printf '#!/bin/sh\nexit 0\n' >"$repo/scripts/deps.sh"
cp "$repo/scripts/deps.sh" "$repo/scripts/build.sh"
printf '#!/bin/sh\nfor a in "$@"; do echo "[$a]"; done\n' >"$repo/build/bin/swiadectwa"
chmod +x "$repo/run.sh" "$repo/scripts/"*.sh "$repo/build/bin/swiadectwa"
: >"$work/teacher/klasa.sqbr5"
: >"$work/teacher/klasy/moja klasa.sqbr5"

failed=0
check() { # expected output, then the arguments
    local expected=$1
    shift
    local got
    got=$(cd "$work/teacher" && "$repo/run.sh" "$@")
    if [ "$got" != "$expected" ]; then
        echo "FAIL: run.sh $*: got '$got', expected '$expected'"
        failed=1
    fi
}
t="$work/teacher"
check "[$t/klasa.sqbr5]" klasa.sqbr5
check "[$t/klasy/moja klasa.sqbr5]" "klasy/moja klasa.sqbr5"
check "[$t/klasy/moja klasa.sqbr5]" klasy/moja klasa.sqbr5
check "[$t/klasa.sqbr5]" "$t/klasa.sqbr5"
check "[--version]" --version
check "[brak.sqbr5]" brak.sqbr5
check "" # no arguments
[ $failed -eq 0 ] && echo "7 passed, 0 failed"
exit $failed
