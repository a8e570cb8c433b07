#!/bin/sh
# wine-run.sh with the loader of 32-bit Wine, for the 32-bit builds (a prefix of WINEARCH=win32).
WINE="${WINE32:-/usr/lib/wine/wine}" WINEARCH="${WINEARCH:-win32}" exec "$(dirname "$0")/wine-run.sh" "$@"
