#!/usr/bin/env bash
# Builds Qt for Windows (64-bit, static, release) from Debian's own qt6-base source, the same
# version as the host's Qt, whose moc, rcc and uic it uses. The result is cached per machine,
# outside the checkout, keyed by the Qt version and everything that shapes the build, and reused
# while its ready marker is there; an interrupted build is never used. Prints the Qt prefix.
# Usage: scripts/windows-qt.sh   (ZL_CACHE_DIR picks another cache folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/apt.sh"
say() { printf 'windows-qt: %s\n' "$*" >&2; }
die() { say "FAIL: $*"; exit 1; }

version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null) ||
    die "qt6-base-dev is not installed (scripts/install-deps.sh windows installs it)"
upstream=${version%%+*}

# Only what the program and its tests use: Core, Gui, Widgets, Test and the windows platform.
# tabletevent needs wintab.h, which Debian's source leaves out; dynamicgl, left on by Qt 6.4 without
# OpenGL, would not compile the windows platform plugin. The bundled third-party code
# (zlib, pcre2, harfbuzz, libpng, libjpeg, double-conversion, md4c) is built in.
options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_pkg_config=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_opengl=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_freetype=OFF -DFEATURE_gif=OFF -DFEATURE_icu=OFF
    -DFEATURE_dynamicgl=OFF -DFEATURE_zstd=OFF -DFEATURE_qmake=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF
)
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
key=$( { printf '%s\n' "$version" "${options[@]}"; cat "$toolchain"; } | sha256sum | cut -c1-12)
cache=${ZL_CACHE_DIR:-"${XDG_CACHE_HOME:-$HOME/.cache}/zenor-lyrandel"}
prefix="$cache/qt-$upstream-mingw64-static-$key"
ready="$prefix/.zl-ready"

mkdir -p "$cache"
exec 8>"$prefix.lock"
flock 8 # a second run waits for the first one's build rather than starting its own
if [[ -f "$ready" ]]; then
    echo "$prefix"
    exit 0
fi

start=$SECONDS
work="$cache/qt-build-$key"
rm -rf "$prefix" "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/apt/parts" "$work/src"
# A private apt state with the machine's own mirrors as source entries: nothing is added to the
# system's configuration.
apt_write_source_entries "$work/apt/parts/src.sources"
apt_opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/parts"
          -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt"
          -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
say "fetching qt6-base $version's source"
apt-get "${apt_opts[@]}" update -qq >"$work/apt.log" 2>&1 || die "apt-get update failed; see $work/apt.log"
(cd "$work/src" && apt-get "${apt_opts[@]}" source -qq "qt6-base=$version") >>"$work/apt.log" 2>&1 ||
    die "apt-get source failed; see $work/apt.log"
src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
[[ -n "$src" ]] || die "no source tree in $work/src"

# Qt's installed toolchain file chains to this one: keep a copy that lives as long as the cache.
mkdir -p "$prefix"
cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"

say "configuring Qt $upstream for Windows (log: $work/build.log)"
cmake -S "$src" -B "$work/build" -G Ninja "${options[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    >"$work/build.log" 2>&1 || die "configure failed; see $work/build.log"
say "building (about 30 CPU-minutes)"
cmake --build "$work/build" -j "$(nproc)" >>"$work/build.log" 2>&1 || die "build failed; see $work/build.log"
cmake --install "$work/build" >>"$work/build.log" 2>&1 || die "install failed; see $work/build.log"
touch "$ready"
rm -rf "$work"
say "Qt $upstream for Windows ready in $((SECONDS - start))s: $prefix"
echo "$prefix"
