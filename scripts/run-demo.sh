#!/usr/bin/env bash
# Builds the loader, the development service library and the demo game, and runs the demo
# against the development service: the registry tree that points the loader at the service is
# written into the build (build/demo/registry), and the savegames go to build/demo/savegames.
# Run it again and the demo finds the savegame of the run before. Installs missing Debian
# packages first (as root, or through sudo).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QZ_DEMO_BUILD:-$root/build/demo}

"$root/scripts/install-deps.sh" demo

mkdir -p "$build"
if ! cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQZ_BUILD_TESTS=OFF -DQZ_BUILD_BENCHMARKS=OFF -DQZ_INSTALL=OFF \
        -DQZ_BUILD_EXAMPLES=ON >"$build/configure.log" 2>&1; then
    cat "$build/configure.log"
    echo "run-demo: configuring failed" >&2
    exit 1
fi
cmake --build "$build" --target veltoclient_demo vykveltoapi_r2 -j "$(nproc)" >"$build/build.log" 2>&1 ||
    { cat "$build/build.log"; echo "run-demo: building failed" >&2; exit 1; }

echo "registry: $build/registry ($(cat "$build/registry/HKEY_LOCAL_MACHINE/SOFTWARE/Vykaris/Launcher/InstallDir"))"
echo "savegames: $build/savegames"
echo
export VYKARIS_REGISTRY_ROOT="$build/registry"
export VYKARIS_DEVSERVICE_DIR="$build/savegames"
exec "$build/bin/veltoclient_demo" "$@"
