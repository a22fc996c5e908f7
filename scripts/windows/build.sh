#!/usr/bin/env bash
# Cross-builds the program for Windows (MinGW-w64) and packs its installer.
#
# Everything it builds besides the program (Qt, SQLite, Hunspell, libcrypto)
# goes into a cache outside the checkout, from Debian's own sources; a second
# run reuses it and only builds the program.
#
#   scripts/windows/build.sh            # program, tests and swiadectwa-setup.exe
#   SW_WINDOWS_CACHE=/some/dir scripts/windows/build.sh
#
# Output: build-windows/ (program and tests in build-windows/bin),
#         build-windows/swiadectwa-setup.exe
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
# shellcheck source=scripts/windows/common.sh
. "$HERE/common.sh"

JOBS="$(nproc)"
mkdir -p "$CACHE"

# The Linux build's packages (host Qt tools, translations, dictionaries)
# and the cross tools.
"$ROOT/scripts/deps.sh" g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
    binutils-mingw-w64-x86-64 ninja-build nsis wine wine64 tcl perl make xz-utils

stamp() { [ -f "$CACHE/stamps/$1" ]; }
mark() { mkdir -p "$CACHE/stamps"; date -u +%FT%TZ > "$CACHE/stamps/$1"; }

# --- Sources, from Debian's deb-src, without touching the machine's apt lists.
APT_DIR="$CACHE/apt"
APT_OPTS=(-o "Dir::Etc::SourceList=$APT_DIR/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
          -o "Dir::State::Lists=$APT_DIR/lists" -o "Dir::Cache=$APT_DIR/cache"
          -o "APT::Sandbox::User=root")
apt_lists() {
    [ -f "$APT_DIR/sources.list" ] && return 0
    mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/cache/archives/partial" "$CACHE/src"
    cat > "$APT_DIR/sources.list.new" <<LIST
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
LIST
    mv "$APT_DIR/sources.list.new" "$APT_DIR/sources.list"
    apt-get "${APT_OPTS[@]}" update || { rm -f "$APT_DIR/sources.list"; return 1; }
}
# One source package, unpacked under $CACHE/src; later versions first, and
# the release's own version when a mirror lacks the newest one.
fetch() {
    local pkg="$1"
    stamp "src-$pkg" && return 0
    apt_lists
    local versions v
    versions="$(apt-cache "${APT_OPTS[@]}" showsrc "$pkg" | sed -n 's/^Version: //p' | sort -Vru)"
    for v in $versions; do
        if (cd "$CACHE/src" && apt-get "${APT_OPTS[@]}" source "$pkg=$v"); then
            mark "src-$pkg"
            return 0
        fi
        echo "Źródła $pkg $v niedostępne; próba innej wersji." >&2
    done
    echo "Nie udało się pobrać źródeł pakietu $pkg." >&2
    return 1
}

srcdir() { find "$CACHE/src" -maxdepth 1 -type d -name "$1-*" | sort | tail -1; }

# --- Qt (qtbase) for Windows, host tools from the Linux Qt. The program needs
# no Qt Svg at run time: the build turns its pictures into PNG and QPicture.
build_qt() {
    if ! stamp qtbase; then
        fetch qt6-base
        rm -rf "$CACHE/build-qtbase"
        cmake -G Ninja -S "$(srcdir qt6-base)" -B "$CACHE/build-qtbase" \
            -DCMAKE_TOOLCHAIN_FILE="$HERE/mingw-toolchain.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
            -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
            -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=OFF \
            -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_icu=OFF \
            -DFEATURE_openssl=OFF -DFEATURE_schannel=ON \
            -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF \
            -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
            -DFEATURE_system_doubleconversion=OFF \
            -DFEATURE_tabletevent=OFF -DINPUT_opengl=desktop -DFEATURE_vulkan=OFF
        cmake --build "$CACHE/build-qtbase" -j"$JOBS"
        cmake --install "$CACHE/build-qtbase"
        mark qtbase
    fi
}

# --- libcrypto (Ed25519 signatures of updates), static.
build_openssl() {
    stamp openssl && return 0
    fetch openssl
    local src b="$CACHE/build-openssl"
    src="$(srcdir openssl)"
    rm -rf "$b" && cp -a "$src" "$b"
    (cd "$b" && ./Configure mingw64 --cross-compile-prefix=$TRIPLET- --prefix="$PREFIX" --libdir=lib \
        no-shared no-tests no-engine no-module no-legacy no-dso \
        && make -j"$JOBS" build_libs && make install_dev)
    mark openssl
}

# --- SQLite: the amalgamation made from Debian's source tree, compiled static.
build_sqlite() {
    stamp sqlite && return 0
    fetch sqlite3
    local src b="$CACHE/build-sqlite"
    src="$(srcdir sqlite3)"
    rm -rf "$b" && mkdir -p "$b"
    (cd "$b" && "$src/configure" --disable-tcl >/dev/null && make sqlite3.c)
    (cd "$b" && $TRIPLET-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS5 -c sqlite3.c -o sqlite3.o \
        && $TRIPLET-ar rcs libsqlite3.a sqlite3.o)
    mkdir -p "$PREFIX/include" "$PREFIX/lib"
    cp "$b/sqlite3.h" "$b/sqlite3ext.h" "$PREFIX/include/"
    cp "$b/libsqlite3.a" "$PREFIX/lib/"
    mark sqlite
}

# --- Hunspell's library, static.
build_hunspell() {
    stamp hunspell && return 0
    fetch hunspell
    local src b="$CACHE/build-hunspell"
    rm -rf "$b" && mkdir -p "$b"
    cp -a "$(srcdir hunspell)/src/hunspell" "$b/src"
    src="$b/src"
    # Paths starting with \\?\ are UTF-8 and opened through the wide API;
    # upstream does it for MSVC only, and MinGW's library has the wide open too.
    sed -i 's/#if defined(_WIN32) \&\& defined(_MSC_VER)/#if defined(_WIN32)/' "$src/csutil.cxx"
    grep -q '^#if defined(_WIN32)$' "$src/csutil.cxx"
    # shellcheck disable=SC2016
    printf '%s\n' "$src"/*.cxx | xargs -P "$JOBS" -I{} sh -c \
        '$0-g++-posix -O2 -DHUNSPELL_STATIC -I"$1" -c "$2" -o "$3/$(basename "$2" .cxx).o"' \
        "$TRIPLET" "$src" {} "$b"
    $TRIPLET-ar rcs "$b/libhunspell-1.7.a" "$b"/*.o
    mkdir -p "$PREFIX/include/hunspell" "$PREFIX/lib"
    cp "$src"/*.hxx "$src"/*.h "$PREFIX/include/hunspell/"
    cp "$b/libhunspell-1.7.a" "$PREFIX/lib/"
    mark hunspell
}

# --- The program and its tests. The data files are made by the build tools of
# a native build (they run here, at build time).
build_program() {
    local out
    out="$(winbuild_dir)"
    cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$ROOT/build" -j"$JOBS" --target mkdb mktext mkicons mkforms
    SW_MINGW_PREFIX="$PREFIX" "$PREFIX/bin/qt-cmake" -G Ninja -S "$ROOT" -B "$out" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$HERE/mingw-toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DSW_HOST_TOOLS_DIR="$ROOT/build/tools" \
        -DOPENSSL_ROOT_DIR="$PREFIX" -DOPENSSL_USE_STATIC_LIBS=ON \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$HERE/wine-run.sh"
    SW_MINGW_PREFIX="$PREFIX" cmake --build "$out" -j"$JOBS"
}

# The libraries a Windows program of ours loads, beside it: Qt, its plugins,
# the MinGW runtime; with qt.conf saying where plugins and translations are.
runtime_into() {
    local dir="$1" dll
    shift
    mkdir -p "$dir/plugins/platforms" "$dir/plugins/styles" "$dir/plugins/tls" "$dir/translations"
    for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Network Qt6PrintSupport "$@"; do
        cp "$PREFIX/bin/$dll.dll" "$dir/"
    done
    cp "$PREFIX/plugins/platforms/qwindows.dll" "$PREFIX/plugins/platforms/qoffscreen.dll" \
        "$dir/plugins/platforms/"
    cp "$PREFIX/plugins/styles/qwindowsvistastyle.dll" "$dir/plugins/styles/"
    cp "$PREFIX/plugins/tls/qschannelbackend.dll" "$dir/plugins/tls/"
    cp "$(dirname "$($TRIPLET-g++-posix -print-libgcc-file-name)")"/{libstdc++-6.dll,libgcc_s_seh-1.dll} "$dir/"
    cp "/usr/$TRIPLET/lib/libwinpthread-1.dll" "$dir/"
    printf '[Paths]\nPrefix=.\nPlugins=plugins\nTranslations=translations\n' > "$dir/qt.conf"
    # The Polish texts of Qt's own dialogs (platform-independent).
    cp /usr/share/qt6/translations/qtbase_pl.qm "$dir/translations/"
    # The spell-checker's dictionary and the faces the layouts map to.
    mkdir -p "$dir/dict" "$dir/fonts"
    cp /usr/share/hunspell/pl_PL.aff /usr/share/hunspell/pl_PL.dic "$dir/dict/"
    cp /usr/share/fonts/truetype/liberation/Liberation{Sans,SansNarrow,Serif,Mono}-*.ttf "$dir/fonts/"
    cp /usr/share/doc/fonts-liberation/copyright "$dir/fonts/COPYRIGHT.txt"
}

# --- The installer: the installed program plus its runtime, packed by NSIS.
build_installer() {
    local out stage version
    out="$(winbuild_dir)"
    stage="$out/stage"
    rm -rf "$stage"
    cmake --install "$out" --prefix "$stage"
    runtime_into "$stage"
    [ -f "$stage/swiadectwa.exe" ] && [ -f "$stage/swiadectwa.ico" ]
    # The lists of what is installed and, in reverse, what the uninstaller removes.
    (cd "$stage" && find . -type f | sed 's|^\./||' | sort) > "$out/installed.txt"
    {
        local dirs
        dirs="$(cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | sort)"
        echo 'SetOutPath "$INSTDIR"'
        while IFS= read -r f; do
            [ "$(dirname "$f")" = . ] && echo "File \"$stage/$f\""
        done < "$out/installed.txt"
        while IFS= read -r d; do
            [ -n "$d" ] || continue
            echo "SetOutPath \"\$INSTDIR\\${d//\//\\}\""
            while IFS= read -r f; do
                [ "$(dirname "$f")" = "$d" ] && echo "File \"$stage/$f\""
            done < "$out/installed.txt"
        done <<< "$dirs"
        echo 'SetOutPath "$INSTDIR"'
    } > "$out/files.nsh"
    {
        while IFS= read -r f; do echo "Delete \"\$INSTDIR\\${f//\//\\}\""; done < "$out/installed.txt"
        (cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) | while IFS= read -r d; do
            echo "RMDir \"\$INSTDIR\\${d//\//\\}\""
        done
    } > "$out/unfiles.nsh"
    version="$(sed -n 's/^project(Swiadectwa13 VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
    makensis -V2 -DSTAGE="$stage" -DVERSION="$version" -DFILES="$out/files.nsh" \
        -DUNFILES="$out/unfiles.nsh" -DOUTFILE="$out/swiadectwa-setup.exe" "$HERE/installer.nsi"
    ls -l "$out/swiadectwa-setup.exe"
}

# The tests run from the build's bin folder: the runtime goes beside them.
deploy_tests() {
    runtime_into "$(winbuild_dir)/bin" Qt6Test
}

# Stages may be named on the command line (tests of this script); by default
# everything runs.
STAGES=("$@")
[ ${#STAGES[@]} -gt 0 ] || STAGES=(build_qt build_openssl build_sqlite build_hunspell build_program deploy_tests build_installer)
for s in "${STAGES[@]}"; do "$s"; done
