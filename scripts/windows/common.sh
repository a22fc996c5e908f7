# Shared by the Windows scripts: where the cache, the cross prefix, the build
# and the Wine prefix are. ROOT is the checkout.
# shellcheck shell=bash
if [ "$(id -u)" -eq 0 ]; then
    CACHE="${SW_WINDOWS_CACHE:-/var/cache/swiadectwa-windows}"
else
    CACHE="${SW_WINDOWS_CACHE:-$HOME/.cache/swiadectwa-windows}"
fi
# Qt and the libraries built for Windows.
PREFIX="$CACHE/mingw"
TRIPLET=x86_64-w64-mingw32
# The cross-built program and its tests.
winbuild_dir() { echo "${SW_WINDOWS_BUILD:-$ROOT/build-windows}"; }

# Wine's own prefix in the cache; no Mono or Gecko prompts, no debug chatter.
wine_env() {
    export WINEPREFIX="${WINEPREFIX:-$CACHE/wine}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

# Makes the prefix once, with the faces the layouts map to (Liberation has the
# metrics of the Windows faces, so positions match the Linux pages).
wine_prefix() {
    wine_env
    if [ ! -f "$WINEPREFIX/.swiadectwa-ready" ]; then
        rm -rf "$WINEPREFIX"
        wineboot --init >/dev/null 2>&1 || true
        wineserver -w
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/fonts/truetype/liberation/Liberation{Sans,SansNarrow,Serif,Mono}-*.ttf \
            "$WINEPREFIX/drive_c/windows/Fonts/"
        touch "$WINEPREFIX/.swiadectwa-ready"
    fi
}
