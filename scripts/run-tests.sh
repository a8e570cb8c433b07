#!/usr/bin/env bash
# The test command: installs missing Debian packages, then runs every stage of
# CMakePresets.json (its workflow presets, in order: configure, build, test), each in
# build/<stage>. A stage runs even when an earlier one failed; a stage whose packages could not
# be installed is skipped and says why. The last lines sum up each stage and all of them.
#
#   QZ_REQUIRE_ALL_STAGES=1   a skipped stage fails the command (for a release check)
#   QZ_STAGES="native msvc"   only these stages
#
# The exit code is non-zero when a test or stage failed.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}

"$root/scripts/install-deps.sh" || echo "Some package groups are missing: the stages that need them are skipped."

# stage_names: the workflow presets, in order; stage_groups NAME: the package groups its
# configure preset names.
stage_names() {
    python3 -c 'import json,sys; print(" ".join(p["name"] for p in json.load(open(sys.argv[1]))["workflowPresets"]))' CMakePresets.json
}
stage_groups() {
    python3 -c '
import json, sys
presets = {p["name"]: p for p in json.load(open(sys.argv[1]))["configurePresets"]}
print(" ".join(presets[sys.argv[2]].get("vendor", {}).get("veltoclient/stage", {}).get("packages", [])))' \
        CMakePresets.json "$1"
}

passed=0
failed=0
summaries=()
bad_stages=0

# run_stage NAME: one workflow; adds its counts and its summary line.
run_stage() {
    local name=$1 missing log start seconds result retried
    missing=$("$root/scripts/install-deps.sh" --missing $(stage_groups "$name"))
    if [ -n "$missing" ]; then
        echo
        echo "=== $name: skipped (packages not installed: $missing) ==="
        summaries+=("$name: skipped (packages not installed: $missing)")
        [ "${QZ_REQUIRE_ALL_STAGES:-0}" != 1 ] || bad_stages=$((bad_stages + 1))
        return
    fi
    echo
    echo "=== $name ==="
    mkdir -p "$root/build"
    log="$root/build/$name.log"
    start=$SECONDS
    cmake --workflow --preset "$name" 2>&1 | tee "$log"
    result=${PIPESTATUS[0]}
    seconds=$((SECONDS - start))
    # ctest closes with "N% tests passed, F tests failed out of T".
    local summary total stage_failed
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$summary" ]; then
        summaries+=("$name: FAILED before its tests ran (exit $result; see build/$name.log) [${seconds}s]")
        bad_stages=$((bad_stages + 1))
        return
    fi
    stage_failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
    passed=$((passed + total - stage_failed))
    failed=$((failed + stage_failed))
    local line="$name: $((total - stage_failed)) passed, $stage_failed failed [${seconds}s]"
    # Under Wine a failed test gets one more try (test presets): name those that needed it.
    # ctest prints a failed try as "i/n Test #k: name ...***Failed" and a retry without "i/n".
    retried=$(awk '
        /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / && /\*\*\*|Not Run/ { sub(/^.*#[0-9]+: /, ""); sub(/ .*/, ""); tried[$0] = 1 }
        /^ +Test +#[0-9]+: / && / Passed / { sub(/^.*#[0-9]+: /, ""); sub(/ .*/, ""); if (tried[$0]) print }
    ' "$log" | sort -u | tr '\n' ' ' | sed 's/ $//')
    [ -z "$retried" ] || line+="; passed only on a second try: $retried"
    summaries+=("$line")
    if [ "$result" -ne 0 ] && [ "$stage_failed" -eq 0 ]; then
        summaries[-1]+="; the workflow failed (exit $result)"
        bad_stages=$((bad_stages + 1))
    fi
}

for name in ${QZ_STAGES:-$(stage_names)}; do
    run_stage "$name"
done
# The Wine servers of the stages' prefixes, which linger a little after their last program.
for prefix in "$root"/build/*-wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null
done

echo
printf '%s\n' "${summaries[@]}"
echo "all stages: $passed passed, $((failed + bad_stages)) failed"
[ "$failed" -eq 0 ] && [ "$bad_stages" -eq 0 ]
