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

# reg quietly; on failure what reg and Wine said, which names the real reason (no prefix, a
# broken Wine server connection...).
reg() {
    reg_output=$("$emulator" reg "$@" 2>&1)
}

# Deleting a key that is not there fails, and that is fine.
reg delete "$key" /f
case "$mode" in
    none) ;;
    key-only) reg add "$key" /f ||
        { echo "cannot create $key: $reg_output" >&2; exit 1; } ;;
    value) reg add "$key" /v InstallDir /t REG_SZ /d "$value" /f ||
        { echo "cannot set $key InstallDir: $reg_output" >&2; exit 1; } ;;
    *) echo "unknown registry mode $mode" >&2; exit 1 ;;
esac

"$emulator" "$@"
status=$?
reg delete "$key" /f
exit $status
