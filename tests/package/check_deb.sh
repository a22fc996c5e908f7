#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks what it holds: the
# program, every shipped data file, the menu entry, the .sqbr5 file type, the
# icon and the declared dependencies; the packaged program must answer
# --version with the package's version.
# Usage: check_deb.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    exit 1
fi
deb="$work/out/swiadectwa_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
    echo "no package named $(basename "$deb"):"
    ls "$work/out"
    exit 1
fi

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

echo "== files"
dpkg-deb -c "$deb"
echo "== control"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends

dpkg-deb -x "$deb" "$work/root"
lib="$work/root/usr/lib/swiadectwa"
[ -x "$lib/swiadectwa" ] || fail "no executable usr/lib/swiadectwa/swiadectwa"
[ -L "$work/root/usr/bin/swiadectwa" ] || fail "no link usr/bin/swiadectwa"

# Every data file the build ships beside the executable is in the package.
(cd "$build/bin" && find . -maxdepth 1 -type f \( -name '*.sqset' -o -name '*.html' \) &&
    find grafika ocena_opisowa -type f) | sed 's|^\./||' | sort >"$work/shipped"
[ -s "$work/shipped" ] || fail "the build ships no data files"
while IFS= read -r f; do
    [ -f "$lib/$f" ] || fail "shipped file missing from the package: $f"
done <"$work/shipped"

desktop="$work/root/usr/share/applications/swiadectwa.desktop"
mime="$work/root/usr/share/mime/packages/swiadectwa-mime.xml"
[ -f "$work/root/usr/share/icons/hicolor/scalable/apps/swiadectwa.svg" ] || fail "no icon"
grep -qx 'Exec=swiadectwa %f' "$desktop" || fail "menu entry does not start swiadectwa"
grep -qx 'Icon=swiadectwa' "$desktop" || fail "menu entry without the icon"
grep -q '^MimeType=.*application/x-swiadectwa-sqbr5;' "$desktop" || fail "menu entry without the file type"
grep -q 'type="application/x-swiadectwa-sqbr5"' "$mime" || fail "no MIME type"
grep -q '<glob pattern="\*.sqbr5"/>' "$mime" || fail "MIME type without *.sqbr5"
desktop-file-validate "$desktop" || fail "menu entry not valid"
for size in 16 22 24 32 48 64 128 256; do
    png="$work/root/usr/share/icons/hicolor/${size}x${size}/apps/swiadectwa.png"
    [ "$(file -b "$png" 2>/dev/null | cut -d, -f2 | tr -d ' ')" = "${size}x${size}" ] ||
        fail "no ${size}x${size} PNG icon"
done
metainfo=$(ls "$work/root/usr/share/metainfo/"*.metainfo.xml 2>/dev/null | head -1)
[ -n "$metainfo" ] || fail "no AppStream metadata"
[ -z "$metainfo" ] || appstreamcli validate --no-net "$metainfo" || fail "AppStream metadata not valid"
grep -q 'xml:lang="pl"' "$metainfo" || fail "AppStream metadata without Polish texts"
grep -q '<screenshot' "$metainfo" || fail "AppStream metadata without a screenshot"
copyright="$work/root/usr/share/doc/swiadectwa/copyright"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" ||
    fail "no machine-readable copyright file"
grep -q '^License: GPL-3.0-or-later' "$copyright" || fail "copyright without the licence"
# The pictures of the blank forms, shipped compressed: a tenth of the 30 MB
# of bitmaps they once were, in the package and in every user's folder.
pictures=$(du -sb "$lib/grafika" | cut -f1)
[ "$pictures" -lt 3000000 ] || fail "the pictures take $pictures bytes"
echo "pictures: $pictures bytes"

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libsqlite3-0 \
    libhunspell-1.7-0 libssl3 libcups2 qt6-qpa-plugins fonts-liberation qt6-translations-l10n xdg-utils hunspell-pl; do
    grep -Eq "(^|, )$d( |,|$)" <<<"$depends" || fail "dependency not declared: $d"
done
# The program reads no SVG: the emblem and the icons are made at build time.
! grep -Eq "(^|, )libqt6svg6( |,|$)" <<<"$depends" || fail "depends on the SVG module"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture is not amd64"

answer=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$work/root/usr/bin/swiadectwa" --version)
[ "$answer" = "swiadectwa $version" ] || fail "--version says '$answer'"

exit $failed
