#!/usr/bin/env bash
# Builds the program (installing what is missing) and starts it; arguments go to the program
# (scripts/run.sh --version).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" >&2
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" >&2
exec "$build/app/zenor-lyrandel" "$@"
