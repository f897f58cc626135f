#!/bin/sh
# Builds the saved-reading fuzzer with clang in its own build folder and runs it for a bounded time.
# Usage: tests/fuzz/run-fuzz.sh [seconds]   (ZL_FUZZ_BUILD_DIR picks the build folder)
# Exits non-zero when the build fails or the fuzzer finds a crash or a sanitizer report.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-60}
build=${ZL_FUZZ_BUILD_DIR:-${TMPDIR:-/tmp}/zenor-lyrandel-fuzz}

generator=
if command -v ninja >/dev/null 2>&1; then
    generator="-G Ninja"
fi
# shellcheck disable=SC2086 # generator is either empty or two words
cmake -S "$here" -B "$build" $generator -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target fuzz_saved

# New inputs go to a scratch corpus so the seeds in the tree stay as written.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/artifacts"

"$build/fuzz_saved" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$build/artifacts/" -print_final_stats=1 "$work" "$here/corpus"
