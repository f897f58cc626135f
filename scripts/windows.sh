#!/usr/bin/env bash
# Cross-builds the program for Windows and its installer, installing what is missing and building
# Qt for Windows once per machine (scripts/windows-qt.sh). Leaves in build/windows:
#   dist/zenor-lyrandel.exe            the program, one static file, stripped
#   zenor-lyrandel-<version>-setup.exe the installer
# Usage: scripts/windows.sh [--with-tests]   (the tests are built too, for scripts/test.sh, and an
#                                            installer of a higher version in upgrade-test/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
say() { printf 'windows: %s\n' "$*" >&2; }
tests=OFF
[[ "${1:-}" == "--with-tests" ]] && tests=ON

"$root/scripts/install-deps.sh" windows >&2
qt=$("$root/scripts/windows-qt.sh")
build="$root/build/windows"
version=$(sed -nE 's/^project\(zenor-lyrandel VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")

say "building the program with Qt from $qt"
# Qt's toolchain file chains to the mingw one kept beside it and finds Qt's packages.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DZL_BUILD_TESTS="$tests" -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
cmake --build "$build" -j "$(nproc)" >&2

# Symbols stay in the build tree; the shipped copy is stripped.
mkdir -p "$build/dist"
x86_64-w64-mingw32-strip -o "$build/dist/zenor-lyrandel.exe" "$build/zenor-lyrandel.exe"
# The wizard's picture, the program's icon on its own purple, in the size and colour depth the
# wizard's welcome and finish pages take.
convert -size 164x314 gradient:'#a020a8'-'#2a0530' "$root/assets/icons/zenor-lyrandel-128.png" \
    -gravity north -geometry +0+48 -composite -type TrueColor "BMP3:$build/wizard.bmp"
# make_installer VERSION OUTFILE
make_installer() {
    makensis -V2 -DVERSION="$1" -DEXE="$build/dist/zenor-lyrandel.exe" -DBITMAP="$build/wizard.bmp" \
        -DICON="$root/assets/icons/zenor-lyrandel.ico" -DOUTFILE="$2" \
        "$root/packaging/windows/zenor-lyrandel.nsi" >&2
}
installer="$build/zenor-lyrandel-$version-setup.exe"
make_installer "$version" "$installer"
# The tests upgrade to the same program under a higher version.
if [[ $tests == ON ]]; then
    mkdir -p "$build/upgrade-test"
    make_installer "${version%.*}.$((${version##*.} + 1))" "$build/upgrade-test/zenor-lyrandel-setup.exe"
fi
say "$(du -h "$build/dist/zenor-lyrandel.exe" | cut -f1) program, $(du -h "$installer" | cut -f1) installer: $installer"
