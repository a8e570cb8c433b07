#!/usr/bin/env bash
# Runs a Windows program under Wine in a build's own prefix (WINEPREFIX; the test presets set
# it) and passes its exit code on. Used as the cross builds' CMAKE_CROSSCOMPILING_EMULATOR.
#
# - The prefix is made on first use (WINEARCH win64, or win32 with the 32-bit Wine loader), and
#   its server kept up for a while between programs.
# - Wine's crash debugger is off: a crash is a failure, never an exit code of 0.
# - A test program's own verdict counts as well as its exit code: a GoogleTest run that began
#   must end with its PASSED line and no FAILED line, and a plain test program's closing
#   "N passed, M failed" (or "N checks, M failed") line must say 0 failed.
set -uo pipefail

if [ -z "${WINEPREFIX:-}" ]; then
    echo "wine-run.sh: WINEPREFIX is not set; run the tests with their preset (ctest --preset <stage>) or export WINEPREFIX=<build>-wineprefix" >&2
    exit 1
fi
export WINEPREFIX
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winedbg.exe=d"

# One program at a time sets the prefix up (tests start in parallel): made on first use, and a
# server kept up for 30 s after its last program. A fresh server's own services (winedevice)
# are started here with no output of ours open, since they outlive the program that would
# start them and would hold its output pipe (and the test) open until the server ends.
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    # (The lock's descriptor is closed for them: the server and its services outlive this.)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-run.sh: making the Wine prefix $WINEPREFIX" >&2
        WINEARCH=${WINEARCH:-win64} "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
    fi
    if "$wineserver" -p30 </dev/null >/dev/null 2>&1 9>&-; then
        "$wine" wineboot </dev/null >/dev/null 2>&1 9>&-
    fi
) 9>"$WINEPREFIX.lock"

output=$(mktemp)
trap 'rm -f "$output"' EXIT
"$wine" "$@" | tee "$output"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || exit "$status"

tr -d '\r' <"$output" >"$output.lf" && mv "$output.lf" "$output"
if grep -q '^\[==========\] Running' "$output"; then
    if ! grep -q '^\[  PASSED  \]' "$output" || grep -q '^\[  FAILED  \]' "$output"; then
        echo "wine-run.sh: $1 exited 0, but its GoogleTest run did not pass to the end" >&2
        exit 1
    fi
fi
summary=$(grep -E '^([A-Za-z_]+: )?[0-9]+ (passed|checks), [0-9]+ failed' "$output" | tail -n 1)
if [ -n "$summary" ] && ! grep -qE ' 0 failed' <<<"$summary"; then
    echo "wine-run.sh: $1 exited 0, but it reports: $summary" >&2
    exit 1
fi
exit 0
