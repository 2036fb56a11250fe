#!/usr/bin/env bash
# The main job on the bundled example: builds the Windows launcher, the
# generator and the Java runtime, generates HelloService.exe from
# examples/hello/wendle.toml, shows what the executable carries, and runs it
# under Wine (in the private prefix of the mingw build) with the diagnostic log on.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}

cmake --preset mingw >/dev/null
cmake --build --preset mingw --target wendle -j"$jobs"
cmake --preset native >/dev/null
cmake --build --preset native --target example-hello -j"$jobs"

exe=build/native/bin/HelloService.exe
echo "== wendlegen inspect $exe"
build/native/bin/wendlegen inspect "$exe"

export WINEPREFIX="$PWD/build/mingw/wineprefix" WINEDEBUG=-all
run() {
  echo "== HelloService.exe $*"
  local rc=0
  WENDLE_LOG=yes tests/wine/wine-run.sh "$WINEPREFIX" "$exe" "$@" || rc=$?
  echo "(exit code $rc)"
}
run /?
run /run
log=$(ls -t "$WINEPREFIX"/drive_c/users/*/Temp/sdx_nlog_*.log 2>/dev/null | head -n 1 || true)
if [ -n "$log" ]; then
  echo "== diagnostic log of the last run ($log)"
  cat "$log"
fi
