#!/usr/bin/env bash
# Runs a cross-built program under Wine, in the project's own Wine prefix
# (made by scripts/windows/test.sh or build.sh). Used as the tests' emulator.
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
# shellcheck source=scripts/windows/common.sh
. "$HERE/common.sh"
wine_env
exec wine "$@"
