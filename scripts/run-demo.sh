#!/usr/bin/env bash
# Builds the loader, the development service library and the demo game, and runs the demo
# against the development service. Installs missing Debian packages first (as root, or
# through sudo).
#
#   run-demo.sh [demo options]            the Linux build, in build/demo: the registry tree
#                                         that points the loader at the service is written
#                                         into build/demo/registry, savegames go to
#                                         build/demo/savegames
#   run-demo.sh --windows [demo options]  the Windows build (MinGW-w64), in build/demo-windows,
#                                         run under Wine in a prefix of its own whose registry
#                                         points at the service; savegames go to
#                                         build/demo-windows/savegames
#
# Run it again and the demo finds the savegame of the run before. Each step says when it
# starts (installing, configuring, building, running); a failed one says what to do next.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
windows=false
if [ "${1:-}" = --windows ]; then
    windows=true
    shift
fi

# step <text>: says which step the script is in.
step() {
    echo "run-demo: $*..."
}

# install_deps <group>: installs the group's missing packages, or stops; install-deps.sh then
# names the packages, apt's reason and the apt-get line to run by hand.
install_deps() {
    step "installing the Debian packages of group $1, when any is missing"
    if ! "$root/scripts/install-deps.sh" "$1"; then
        echo "run-demo: installing packages failed: run the apt-get line above, then run-demo.sh again" >&2
        exit 1
    fi
}

if $windows; then
    build=${QZ_DEMO_BUILD:-$root/build/demo-windows}
    install_deps demo-windows
    configure=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake")
else
    build=${QZ_DEMO_BUILD:-$root/build/demo}
    install_deps demo
    configure=()
fi

mkdir -p "$build"
step "configuring in $build"
if ! cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" \
        -DQZ_BUILD_TESTS=OFF -DQZ_BUILD_BENCHMARKS=OFF -DQZ_INSTALL=OFF \
        -DQZ_BUILD_EXAMPLES=ON >"$build/configure.log" 2>&1; then
    cat "$build/configure.log"
    echo "run-demo: configuring failed" >&2
    exit 1
fi
step "building the loader, the development service and the demo"
if ! cmake --build "$build" --target veltoclient_demo vykveltoapi_r2 -j "$(nproc)" \
        >"$build/build.log" 2>&1; then
    cat "$build/build.log"
    echo "run-demo: building failed" >&2
    exit 1
fi

if ! $windows; then
    echo "registry: $build/registry" \
         "($(cat "$build/registry/HKEY_LOCAL_MACHINE/SOFTWARE/Vykaris/Launcher/InstallDir"))"
    echo "savegames: $build/savegames"
    echo
    export VYKARIS_REGISTRY_ROOT="$build/registry"
    export VYKARIS_DEVSERVICE_DIR="$build/savegames"
    step "running the demo"
    exec "$build/bin/veltoclient_demo" "$@"
fi

# Wine sees the host's root directory as drive Z:.
windows_path() {
    printf 'Z:%s' "$1" | tr / '\\'
}
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wine=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "creating the Wine prefix in $WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
fi
service_dir=$(windows_path "$build/devservice/service")
"$wine" reg add 'HKLM\SOFTWARE\Vykaris\Launcher' /v InstallDir /t REG_SZ /d "$service_dir" /f \
    >/dev/null 2>&1
echo "registry: HKLM\\SOFTWARE\\Vykaris\\Launcher InstallDir = $service_dir (in $WINEPREFIX)"
export VYKARIS_DEVSERVICE_DIR
VYKARIS_DEVSERVICE_DIR=$(windows_path "$build/savegames")
echo "savegames: $build/savegames"
echo
step "running the demo under Wine"
status=0
"$wine" "$build/bin/veltoclient_demo.exe" "$@" || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit $status
