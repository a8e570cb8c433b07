#!/usr/bin/env bash
# check-wine-run.sh <wine-run.sh>: the Wine runner's verdict on a program's output, with a
# stand-in for Wine that prints what a case gives and exits with its code. A crash that Wine
# reports as exit 0, and a test program that stops early or counts failures, must fail.
set -u
runner=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prefix" && touch "$work/prefix/system.reg"
cat >"$work/wine" <<'STANDIN'
#!/bin/sh
[ "$1" = wineboot ] && exit 0
printf '%b' "$CASE_OUTPUT"
exit "$CASE_STATUS"
STANDIN
chmod +x "$work/wine"

failures=0
# expected exit status | program's exit status | program's output
while IFS='|' read -r expected status output; do
    WINEPREFIX="$work/prefix" WINE="$work/wine" WINESERVER=false CASE_STATUS=$status \
        CASE_OUTPUT=$output "$runner" program >/dev/null 2>&1
    actual=$?
    if [ "$actual" -ne "$expected" ]; then
        echo "FAILED: exit $status, output '$output': runner gave $actual, expected $expected"
        failures=$((failures + 1))
    fi
done <<'CASES'
0|0|[==========] Running 2 tests\n[  PASSED  ] 2 tests.\n
1|0|[==========] Running 2 tests\n[ RUN      ] Suite.Case\n
1|0|[==========] Running 2 tests\n[  PASSED  ] 1 test.\n[  FAILED  ] 1 test, listed below:\n
0|0|[==========] Running 0 tests\r\n[  PASSED  ] 0 tests.\r\n
0|0|12 checks, 0 failed\n
1|0|12 checks, 3 failed\n
1|0|c_api: 5 passed, 1 failed\r\n
0|0|c_api: 6 passed, 0 failed\n
0|0|a program with no verdict of its own\n
3|3|[==========] Running 2 tests\n[  PASSED  ] 2 tests.\n
1|1|
CASES
WINEPREFIX="" "$runner" program >/dev/null 2>"$work/stderr"
if [ $? -eq 0 ] || [ "$(wc -l <"$work/stderr")" -ne 1 ]; then
    echo "FAILED: without WINEPREFIX the runner must fail with one line"
    failures=$((failures + 1))
fi
echo "wine-run: $((12 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
