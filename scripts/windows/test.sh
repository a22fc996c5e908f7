#!/usr/bin/env bash
# Runs the cross-built tests under Wine with the offscreen platform; run
# scripts/windows/build.sh first. Arguments go to ctest (-R NAME, -V, ...).
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
# shellcheck source=scripts/windows/common.sh
. "$HERE/common.sh"
out="$(winbuild_dir)"
if [ ! -f "$out/CTestTestfile.cmake" ]; then
    echo "Nie ma zbudowanych testów dla Windows w $out: najpierw scripts/windows/build.sh." >&2
    exit 1
fi
wine_prefix
# Wine passes no QT_* variable from Linux to a Windows program (the host's Qt
# settings are not the program's): they go into the prefix's environment.
# The offscreen platform of Windows reads fonts from one folder only: the
# faces the installer ships beside the program.
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null
wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "$(winepath -w "$out/bin/fonts")" /f >/dev/null
wineserver -w
cd "$out"
status=0
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@" || status=$?
wineserver -k 2>/dev/null || true
exit "$status"
