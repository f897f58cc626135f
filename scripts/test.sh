#!/usr/bin/env bash
# Builds everything (installing what is missing) and runs every test: unit and widget tests,
# end-to-end tests in a real X server, the sanitizer build, the fuzzers, the package check, the
# Windows build under Wine and the whole again on Debian 13.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
jobs=$(nproc)

step() { printf '\n== %s\n' "$*"; }

step "Build and run the tests"
build="$root/build/test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"

step "AddressSanitizer and UndefinedBehaviorSanitizer"
asan="$root/build/asan"
cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZL_SANITIZE=ON >/dev/null
cmake --build "$asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
    ctest --test-dir "$asan" --output-on-failure -j "$jobs" -L unit

if [[ -x "$root/tests/fuzz/run-fuzz.sh" ]]; then
    step "Fuzzing"
    ZL_FUZZ_BUILD_DIR="$root/build/fuzz" "$root/tests/fuzz/run-fuzz.sh" 60
fi

step "The README's run command"
"$root/scripts/run-check.sh"

step "Debian package"
# The same Release tree as the run command's: built once for both.
"$root/scripts/package-test.sh" "$root/build/release"

# Windows: Qt for Windows built once per machine, the program, its tests under Wine and the
# installer end to end. ZL_SKIP_WINDOWS=1 skips it. Built on Debian 12 only: another release would
# build and test a second Qt for Windows, from its own source, for the same installer.
release=$(. /etc/os-release && echo "${VERSION_ID:-}")
if [[ "${ZL_SKIP_WINDOWS:-}" != 1 && $release != 12 ]]; then
    step "Windows: left out on Debian ${release:-unknown}; the Windows installer is built and tested on Debian 12"
elif [[ "${ZL_SKIP_WINDOWS:-}" != 1 ]]; then
    step "Windows"
    "$root/scripts/windows.sh" --with-tests
    "$root/scripts/wine-test.sh" "$root/build/windows"
fi

# The same again on Debian 13, in a root of its own; ZL_SKIP_SECOND_RELEASE=1 skips it.
if [[ "${ZL_SKIP_SECOND_RELEASE:-}" != 1 ]]; then
    step "Debian 13"
    "$root/scripts/second-release.sh"
fi

step "All tests passed"
