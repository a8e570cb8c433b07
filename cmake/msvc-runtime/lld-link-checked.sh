#!/bin/sh
# lld-link for the MSVC-ABI cross build. Its warnings go to the build log, and a link fails
# when an object imports a symbol that this runtime part defines (LNK4217 naming
# qz_msvc_runtime.lib): such a symbol is reached through an import pointer the linker makes
# up, which it may leave pointing at nothing (see include/stdlib.h).
output=$("${QZ_LLD_LINK:-lld-link-14}" "$@" 2>&1)
status=$?
[ -n "$output" ] && printf '%s\n' "$output" >&2
if printf '%s\n' "$output" | grep -q 'locally defined symbol imported: .*(defined in qz_msvc_runtime\.lib'; then
    echo "error: an object imports a symbol of the MSVC runtime part (LNK4217 above); declare it without dllimport" >&2
    exit 1
fi
exit $status
