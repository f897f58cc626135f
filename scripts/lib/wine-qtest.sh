#!/bin/sh
# Runs a Windows Qt Test program under Wine and prints its log: there it writes nothing to stdout.
# Usage: scripts/lib/wine-qtest.sh PROGRAM.exe [test functions...]
log=$(mktemp) || exit 1
program=$1
shift
wine "$program" -o "$log,txt" "$@"
status=$?
cat "$log"
rm -f "$log"
exit $status
