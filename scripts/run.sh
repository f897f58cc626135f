#!/usr/bin/env bash
# Builds the program (installing what is missing) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build"
exec "$build/zenor-lyrandel"
