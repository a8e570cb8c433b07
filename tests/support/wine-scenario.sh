#!/bin/sh
# wine-scenario.sh <emulator> <none|key-only|value> <value> <program> [arguments...]
# Sets key SOFTWARE\Vykaris\Launcher of the Wine prefix's local machine as the scenario needs,
# runs the program under the emulator and deletes the key again, passing the program's exit
# code on. Setting, running and deleting happen in one test so that they cannot interleave with
# another scenario's.
emulator=$1
mode=$2
value=$3
shift 3
key='HKLM\SOFTWARE\Vykaris\Launcher'

reg() {
    "$emulator" reg "$@" >/dev/null 2>&1
}

reg delete "$key" /f
case "$mode" in
    none) ;;
    key-only) reg add "$key" /f || { echo "cannot create $key" >&2; exit 1; } ;;
    value) reg add "$key" /v InstallDir /t REG_SZ /d "$value" /f ||
        { echo "cannot set $key InstallDir" >&2; exit 1; } ;;
    *) echo "unknown registry mode $mode" >&2; exit 1 ;;
esac

"$emulator" "$@"
status=$?
reg delete "$key" /f
exit $status
