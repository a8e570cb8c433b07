#!/usr/bin/env bash
# Installs the Debian packages that the builds and tests need, in groups, when any is missing.
#
#   install-deps.sh                  every group the test command uses
#   install-deps.sh <group>...       only these groups (demo, demo-windows, build, ...)
#   install-deps.sh --missing <group>...
#                                    prints the packages of these groups that are not installed
#                                    (nothing when all are) and installs nothing
#   install-deps.sh --list           the groups and their packages
#
# Each group is installed on its own: a group that cannot be installed (a package the mirror
# does not serve, a dependency it cannot satisfy) is reported with its packages, apt's reason
# and the command to run by hand, and the other groups are still installed. A package index
# that fails to download is a warning: what the indexes at hand can install is installed.
# Exit status: 0 when every asked group is installed, 1 otherwise. Run as root (or with sudo);
# a no-op when everything is present.
set -uo pipefail

# group | what it is for | its packages. The test command's groups come first, in the order in
# which install-deps.sh alone installs them.
group_table='
build        | the native build and its tests (GoogleTest sources)                          | cmake ninja-build g++ python3 googletest
sanitize     | sanitizers, libFuzzer and the benchmarks with their baselines                | clang libclang-rt-14-dev libbenchmark-dev libabsl-dev libicu-dev
windows      | the 64-bit Windows build (MinGW-w64) and Wine                                | g++-mingw-w64-x86-64-posix wine64
msvc         | the MSVC-ABI build: clang-cl, lld-link, Wine'"'"'s Win32 headers, libc++ headers | clang-14 lld-14 llvm-14 libwine-dev libc++-14-dev
windows32    | the 32-bit Windows build and 32-bit Wine                                     | g++-mingw-w64-i686-posix wine32:i386
msvc32       | Wine'"'"'s 32-bit import libraries for the 32-bit MSVC-ABI build                | libwine-dev:i386
csharp       | the C# binding and its tests (Mono)                                          | mono-mcs mono-runtime
browser      | the call log page checked in a real browser (headless Chromium)              | chromium
demo         | building and running the demo game                                           | cmake ninja-build g++
demo-windows | the demo game as a Windows program under Wine                                | cmake ninja-build g++-mingw-w64-x86-64-posix wine64
'
declare -A groups purposes
all_groups=()
while IFS='|' read -r group purpose packages; do
    group=${group// /}
    [ -n "$group" ] || continue
    all_groups+=("$group")
    purposes[$group]=$(sed 's/^ *//; s/ *$//' <<<"$purpose")
    groups[$group]=$packages
done <<<"$group_table"
test_groups=(build sanitize windows msvc windows32 msvc32 csharp browser)

# missing_packages GROUP...: the packages of the groups that are not installed, one per line.
missing_packages() {
    local group package
    for group in "$@"; do
        if [ -z "${groups[$group]+set}" ]; then
            echo "install-deps.sh: unknown group '$group' (see --list)" >&2
            exit 2
        fi
        for package in ${groups[$group]}; do
            dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
                echo "$package"
        done
    done | awk '!seen[$0]++'
}

case "${1:-}" in
    --missing)
        shift
        missing_packages "$@" | tr '\n' ' ' | sed 's/ $//'
        exit 0
        ;;
    --list)
        for group in "${all_groups[@]}"; do
            printf '%-13s %s\n              %s\n' "$group" "${purposes[$group]}" "${groups[$group]}"
        done
        exit 0
        ;;
esac
asked=("$@")
[ ${#asked[@]} -ne 0 ] || asked=("${test_groups[@]}")
missing_packages "${asked[@]}" >/dev/null || exit 2
[ -n "$(missing_packages "${asked[@]}")" ] || exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "Missing packages and not root: install them and run again:" >&2
    echo "  apt-get update && apt-get install -y $(missing_packages "${asked[@]}" | tr '\n' ' ')" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive

# update_indexes: apt-get update; a failed index is a warning, not the end of the install.
update_indexes() {
    local output
    if ! output=$("${sudo[@]}" apt-get update -qq 2>&1); then
        echo "warning: apt-get update failed for some package indexes; installing from the indexes at hand:" >&2
        grep -E '^(E|W):' <<<"$output" | sed 's/^/  /' >&2
    fi
}

updated=no
i386_ready=no
failed_groups=()
for group in "${asked[@]}"; do
    mapfile -t packages < <(missing_packages "$group")
    [ ${#packages[@]} -ne 0 ] || continue
    options=(-y)
    if [[ "${packages[*]}" == *:i386* ]]; then
        # The i386 architecture is added only when a 32-bit group needs it, so that a broken
        # 32-bit index cannot stand in the way of the other groups; its packages come without
        # their recommendations, which would add hundreds of 32-bit libraries.
        if [ "$i386_ready" = no ]; then
            if ! dpkg --print-foreign-architectures | grep -qx i386; then
                "${sudo[@]}" dpkg --add-architecture i386
                updated=no
            fi
            i386_ready=yes
        fi
        options+=(--no-install-recommends)
    fi
    [ "$updated" = yes ] || { update_indexes; updated=yes; }
    echo "Installing $group (${purposes[$group]}): ${packages[*]}"
    # A download can fail for a moment: one more try after a pause, but not for packages that
    # the indexes cannot satisfy.
    for attempt in 1 2; do
        output=$("${sudo[@]}" apt-get install -qq "${options[@]}" "${packages[@]}" 2>&1) && break
        grep -qiE 'failed to fetch|temporary failure|could not connect|hash sum mismatch' \
            <<<"$output" && [ "$attempt" -eq 1 ] || break
        sleep 10
    done
    if [ -n "$(missing_packages "$group")" ]; then
        failed_groups+=("$group")
        {
            echo "error: group $group (${purposes[$group]}) could not be installed: ${packages[*]}"
            echo "apt-get said:"
            # The reason: the unmet dependencies that apt lists when it says no more than
            # "generated breaks", then its errors.
            "${sudo[@]}" apt-get install --simulate -q "${options[@]}" "${packages[@]}" 2>&1 |
                sed -n '/unmet dependencies/,/^E:/p' | head -n 12
            grep -E '^E:' <<<"$output"
            echo "to install it by hand: sudo apt-get update && sudo apt-get install ${options[*]} ${packages[*]}"
        } | sed '2,$s/^/  /' >&2
    fi
done
if [ ${#failed_groups[@]} -ne 0 ]; then
    echo "install-deps.sh: not installed: ${failed_groups[*]}" >&2
    exit 1
fi
exit 0
