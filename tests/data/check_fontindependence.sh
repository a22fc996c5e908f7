#!/usr/bin/env bash
# The shipped form data (calibration rows, form pictures) come out byte for
# byte the same whatever default fonts the build machine has: every face
# the layouts name is measured with an installed face, never a fallback.
# Usage: check_fontindependence.sh MKFORMS LAYOUT_DIR EMBLEM_SVG
set -euo pipefail
mkforms=$1 layouts=$2 emblem=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() { # NAME [env...]: the data built under these settings
    local name=$1
    shift
    mkdir -p "$work/$name/grafika"
    env QT_QPA_PLATFORM=offscreen "$@" "$mkforms" "$layouts" "$work/$name/rows.sql" \
        "$work/$name/grafika" "$emblem" 2>/dev/null
}

# A machine whose default sans and serif are a monospaced face.
cat >"$work/fonts.conf" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <alias binding="strong"><family>sans-serif</family><prefer><family>Liberation Mono</family></prefer></alias>
  <alias binding="strong"><family>serif</family><prefer><family>Liberation Mono</family></prefer></alias>
</fontconfig>
CONF

build usual
build other FONTCONFIG_FILE="$work/fonts.conf"
# The other machine really falls back elsewhere for a face it lacks.
if [ "$(FONTCONFIG_FILE="$work/fonts.conf" fc-match -f '%{family}' 'MS Sans Serif')" = \
     "$(fc-match -f '%{family}' 'MS Sans Serif')" ]; then
    echo "FAIL: the two font set-ups do not differ"
    exit 1
fi
if ! diff -r "$work/usual" "$work/other" >"$work/diff.txt"; then
    echo "FAIL: the form data depend on the machine's default fonts:"
    head -20 "$work/diff.txt"
    exit 1
fi
echo "PASS: $(ls "$work/usual/grafika" | wc -l) pictures and $(grep -c '^insert' "$work/usual/rows.sql") calibration rows identical"
