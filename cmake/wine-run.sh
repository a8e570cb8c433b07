#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix (WINEPREFIX, set by the test
# script), quietly, and passes its exit code on.
: "${WINEPREFIX:?WINEPREFIX must name the build's Wine prefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
exec "${WINE:-/usr/lib/wine/wine64}" "$@"
