#!/bin/sh
# Runs a Windows program under Wine in the given private prefix, creating the
# prefix on first use. Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts in a headless prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$prefix/.wendle-ready" ]; then
  mkdir -p "$prefix"
  (
    flock 9
    if [ ! -f "$prefix/.wendle-ready" ]; then
      wineboot --init >/dev/null 2>&1
      wineserver -w
      touch "$prefix/.wendle-ready"
    fi
  ) 9>"$prefix.lock"
fi
exec wine "$@"
