#!/usr/bin/env bash
# The page of `veltodev log --html`, made from the known call log, in a real browser: headless
# Chromium opens it from the disk, and its rendered DOM must hold one bar per request, the
# never answered ones and the faults marked, the kinds named in the URL hidden, and no error,
# neither in the page nor on Chromium's console. Exit 77 (skipped) when Chromium is missing.
#
#   check-log-page.sh <veltodev> <call log> <work directory> <bars> <lost> <faults> <kind>
set -euo pipefail
veltodev=$1 log=$2 work=$3 bars=$4 lost=$5 faults=$6 kind=$7

browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
    echo "skipped: chromium is not installed (Debian package chromium)"
    exit 77
fi
rm -rf "$work"
mkdir -p "$work"
"$veltodev" --quiet log "$log" --html "$work/page.html" >"$work/summary.txt"

failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}

# render URL OUTPUT: the DOM once the page's scripts ran, Chromium's log beside it.
render() {
    timeout 120 "$browser" --headless --no-sandbox --disable-gpu --no-first-run \
        --user-data-dir="$work/profile" --enable-logging=stderr --v=0 \
        --virtual-time-budget=5000 --dump-dom "$1" >"$2" 2>"$2.stderr"
    grep -q 'data-rendered="true"' "$2" || fail "$1: the page's script did not finish"
    grep -q 'data-errors="0"' "$2" || fail "$1: the page logged errors: $(grep -o 'data-error-text="[^"]*"' "$2")"
    # Console messages (a script error, a refused load) show as CONSOLE lines.
    if grep -E 'CONSOLE|Uncaught|Refused to' "$2.stderr"; then
        fail "$1: Chromium's console has messages"
    fi
}

# count FILE PATTERN: how many times the pattern occurs.
count() {
    grep -o -- "$2" "$1" | wc -l | tr -d ' '
}

render "file://$work/page.html" "$work/dom.html"
[ "$(count "$work/dom.html" '<rect class="bar[ "]')" = "$bars" ] ||
    fail "$(count "$work/dom.html" '<rect class="bar[ "]') bars drawn, $bars expected"
[ "$(count "$work/dom.html" 'class="bar lost"')" = "$lost" ] ||
    fail "$(count "$work/dom.html" 'class="bar lost"') bars marked lost, $lost expected"
[ "$(count "$work/dom.html" '<path class="fault"')" = "$faults" ] ||
    fail "$(count "$work/dom.html" '<path class="fault"') faults marked, $faults expected"
grep -q "data-bars=\"$bars\"" "$work/dom.html" || fail "the page counted other bars than $bars"
# The log's "</script>" stays text: the page has its own three scripts only.
[ "$(count "$work/dom.html" '<script')" = 3 ] || fail "a text of the log became a script"

# The filter: every element of the kind hidden, no other.
render "file://$work/page.html#hide=$kind" "$work/filtered.html"
# elements KIND-PATTERN: the start tags of the elements of that kind, one per line.
elements() {
    grep -oE "<[a-z]+ [^>]*data-kind=\"$1\"[^>]*>" "$work/filtered.html" || true
}
hidden=$(elements "$kind" | grep -c hidden || true)
shown=$(elements "$kind" | grep -vc hidden || true)
others=$(elements '[a-z]+' | grep -v "data-kind=\"$kind\"" | grep -c hidden || true)
[ "$hidden" -gt 0 ] || fail "nothing of kind $kind hidden"
[ "$shown" = 0 ] || fail "$shown elements of kind $kind still shown"
[ "$others" = 0 ] || fail "$others elements of other kinds hidden"

if [ "$failed" = 0 ]; then
    echo "the page renders $bars bars ($lost never answered) and $faults faults, without errors"
fi
exit "$failed"
