#!/usr/bin/env bash
# Tries swiadectwa-setup.exe as a teacher's machine would have it, under Wine
# (after scripts/windows/build.sh): a silent install, the class-file type and
# the Start-menu entry, a certificate written to PDF by the installed program
# with its text where the Linux program puts it, and an uninstall that leaves
# her class file and the program folder.
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
# shellcheck source=scripts/windows/common.sh
. "$HERE/common.sh"
out="$(winbuild_dir)"
setup="$out/swiadectwa-setup.exe"
linux="$ROOT/build/bin/swiadectwa"
[ -f "$setup" ] || { echo "Brak $setup: najpierw scripts/windows/build.sh." >&2; exit 1; }
[ -x "$linux" ] || { echo "Brak $linux: najpierw ./scripts/build.sh." >&2; exit 1; }

work="$(mktemp -d)"
export WINEPREFIX="$CACHE/wine-install"
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
# A machine of its own, made afresh each time.
rm -rf "$WINEPREFIX"
wine_prefix
export LANG=C.UTF-8

fail() { echo "BŁĄD: $*" >&2; exit 1; }
step() { echo "== $*"; }

step "Instalacja po cichu (/S)"
wine "$setup" /S
wineserver -w
dir="$WINEPREFIX/drive_c/Program Files/Swiadectwa 1-3"
[ -f "$dir/swiadectwa.exe" ] || fail "program nie został zainstalowany w $dir"
[ -f "$dir/odinstaluj.exe" ] || fail "brak deinstalatora"
wine reg query 'HKLM\Software\Classes\.sqbr5' | tr -d '\r' | grep -q 'Swiadectwa13.PlikKlasy' ||
    fail "typ pliku .sqbr5 nie jest zarejestrowany"
find "$WINEPREFIX/drive_c" -name 'Świadectwa 1-3.lnk' | grep -q . || fail "brak skrótu w menu Start"
echo "zainstalowano: $(du -sh "$dir" | cut -f1)"

step "Dokument do PDF: program zainstalowany i program dla Linuksa"
# Made by the build tool that writes text as the program stores it.
"$ROOT/build/tools/mkdb" "$work/klasa.sqbr5" "$ROOT/tests/printing/cases/certificate-girl/class.sql"
cp "$work/klasa.sqbr5" "$work/klasa.before"
doc="MEN-I/1/2 świad. klasa 2"
status=0
wine "$dir/swiadectwa.exe" --pdf "$(winepath -w "$work/windows.pdf")" --dokument "$doc" \
    "$(winepath -w "$work/klasa.sqbr5")" || status=$?
wineserver -w
# 3: printed, with findings of the check before printing (this class has some).
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || fail "program pod Wine zakończył się kodem $status"
[ -s "$work/windows.pdf" ] || fail "program pod Wine nie zapisał pliku PDF"
mkdir -p "$work/home" "$work/run" && chmod 700 "$work/run"
status=0
HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/home/.local/share" \
    QT_QPA_PLATFORM=offscreen "$linux" --pdf "$work/linux.pdf" --dokument "$doc" "$work/klasa.sqbr5" || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || fail "program dla Linuksa zakończył się kodem $status"
cmp -s "$work/klasa.sqbr5" "$work/klasa.before" || fail "plik klasy został zmieniony"

# Every word of the page at the same place, within 0.2 mm (0.567 pt).
words() {
    pdftotext -bbox "$1" - 2>/dev/null | sed -n 's/.*<word xMin="\([0-9.]*\)" yMin="\([0-9.]*\)" xMax="[0-9.]*" yMax="[0-9.]*">\(.*\)<\/word>/\3 \1 \2/p'
}
words "$work/linux.pdf" > "$work/linux.words"
words "$work/windows.pdf" > "$work/windows.words"
grep -q 'Żaneta' "$work/windows.words" || fail "pdftotext nie znajduje „Żaneta” w PDF z Windows"
[ "$(wc -l < "$work/linux.words")" -eq "$(wc -l < "$work/windows.words")" ] ||
    fail "liczba słów różni się: Linux $(wc -l < "$work/linux.words"), Windows $(wc -l < "$work/windows.words")"
paste -d' ' "$work/linux.words" "$work/windows.words" | awk '
    { n = NF / 2; lw = $1; ww = $(n + 1)
      dx = $(n - 1) - $(NF - 1); dy = $n - $NF; if (dx < 0) dx = -dx; if (dy < 0) dy = -dy
      if (lw != ww) { print "inne słowo: " lw " / " ww; bad = 1 }
      if (dx > worst) worst = dx; if (dy > worst) worst = dy
      if (dx > 0.567 || dy > 0.567) { printf "przesunięte: %s o %.3f / %.3f pt\n", lw, dx, dy; bad = 1 } }
    END { printf "słów: %d, największa różnica: %.3f mm\n", NR, worst * 25.4 / 72; exit bad }' ||
    fail "tekst nie leży tam, gdzie w PDF z Linuksa"

# The ink of each page (dots, lines, emblem too): its bounds within 0.2 mm.
pdftoppm -r 300 -gray "$work/linux.pdf" "$work/l"
pdftoppm -r 300 -gray "$work/windows.pdf" "$work/w"
for l in "$work"/l-*.pgm; do
    w="$work/w-${l##*/l-}"
    [ -f "$w" ] || fail "PDF z Windows ma mniej stron"
    lb="$(/usr/bin/convert "$l" -threshold 50% -negate -trim -format '%w %h %X %Y' info:)"
    wb="$(/usr/bin/convert "$w" -threshold 50% -negate -trim -format '%w %h %X %Y' info:)"
    echo "$lb $wb" | awk -v page="${l##*/}" '
        { gsub(/\+/, ""); for (i = 1; i <= 4; i++) { d = $i - $(i + 4); if (d < 0) d = -d; if (d > worst) worst = d } }
        END { printf "%s: granice tuszu różnią się o %.2f mm\n", page, worst * 25.4 / 300; exit worst * 25.4 / 300 > 0.2 }' ||
        fail "tusz strony leży inaczej niż w PDF z Linuksa"
done

step "Odinstalowanie po cichu"
programdir="$WINEPREFIX/drive_c/ProgramData/Veltra-BR5"
[ -d "$programdir" ] || fail "program nie założył folderu programu $programdir"
find "$programdir" -type f | sort > "$work/programdir.before"
wine "$dir/odinstaluj.exe" /S
wineserver -w
for _ in 1 2 3 4 5 6 7 8 9 10; do [ -e "$dir/swiadectwa.exe" ] || break; sleep 1; wineserver -w; done
[ ! -e "$dir/swiadectwa.exe" ] || fail "deinstalator zostawił program"
[ ! -e "$dir" ] || echo "uwaga: folder instalacji został (zawiera: $(ls -A "$dir" | tr '\n' ' '))"
find "$programdir" -type f | sort | cmp -s - "$work/programdir.before" || fail "deinstalator zmienił folder programu"
cmp -s "$work/klasa.sqbr5" "$work/klasa.before" || fail "deinstalator zmienił plik klasy"
! wine reg query 'HKLM\Software\Classes\.sqbr5' >/dev/null 2>&1 || fail "typ pliku .sqbr5 został w rejestrze"
echo "Instalator działa."
