#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
#   install-deps.sh        everything the test command needs
#   install-deps.sh demo   only what building and running the demo game needs
#   install-deps.sh demo-windows   the same for the Windows build of the demo under Wine
# Run as root (or through sudo); a no-op when everything is present.
set -euo pipefail

demo_packages=(cmake ninja-build g++)
demo_windows_packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64)
packages=(
    cmake ninja-build g++ python3
    clang libclang-rt-14-dev          # sanitizers and libFuzzer
    googletest libbenchmark-dev       # GoogleTest sources (built per compiler), Google Benchmark
    libabsl-dev libicu-dev            # benchmark baselines
    g++-mingw-w64-x86-64-posix wine64 # the Windows build and its test runner
    clang-14 lld-14 llvm-14           # the MSVC-ABI build: clang-cl, lld-link, binary tools
    libwine-dev libc++-14-dev         # its Win32 headers and import libraries, libc++ headers
    # The 32-bit Windows builds: compiler, 32-bit Wine, Wine's 32-bit import libraries
    g++-mingw-w64-i686-posix wine32:i386 libwine-dev:i386
)

case "${1:-}" in
    demo) packages=("${demo_packages[@]}") ;;
    demo-windows) packages=("${demo_windows_packages[@]}") ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "Missing packages (${missing[*]}) and not root: install them and run again." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# Packages of the i386 architecture need it known to dpkg first (apt-get update follows), and
# come without their recommendations, which would add hundreds of 32-bit libraries.
native=()
i386=()
for package in "${missing[@]}"; do
    if [[ "$package" == *:i386 ]]; then
        i386+=("$package")
    else
        native+=("$package")
    fi
done
if [ ${#i386[@]} -ne 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi

# install_packages [apt-get option...] -- package...: nothing to do without packages.
install_packages() {
    local options=()
    while [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    shift
    [ $# -eq 0 ] || "${sudo[@]}" apt-get install -y -qq "${options[@]}" "$@"
}
# A mirror can fail for a moment: try a few times before giving up.
for attempt in 1 2 3; do
    if "${sudo[@]}" apt-get update -qq && install_packages -- "${native[@]}" &&
        install_packages --no-install-recommends -- "${i386[@]}"; then
        exit 0
    fi
    echo "Package installation failed (attempt $attempt of 3)" >&2
    sleep 10
done
exit 1
