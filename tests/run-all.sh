#!/usr/bin/env bash
# Configures, builds and runs every test: the host build (plain and with
# ASan/UBSan) and the Windows build under Wine. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

status=0
for preset in native native-asan; do
  cmake --preset "$preset" -DWENDLE_WERROR=$werror >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs" --timeout 600 || status=1
done

cmake --preset mingw -DWENDLE_WERROR=$werror >/dev/null
cmake --build --preset mingw -j"$jobs"
# One resident wineserver for the whole run: every test is its own Wine process.
export WINEPREFIX="$PWD/build/mingw/wineprefix" WINEDEBUG=-all
wineserver -w            # the server of the build's test discovery, if still there
wineserver -p || true    # without it every test pays for a fresh server
# Start Wine's own background processes now, detached from any test's output:
# started by a test they would keep its output pipe open and CTest waiting.
tests/wine/wine-run.sh "$WINEPREFIX" cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
ctest --preset mingw -j"$jobs" --timeout 600 || status=1
exit $status
