#!/bin/sh
# Usage: run-with-xvfb.sh XVFB PREFIX TEST.EXE
# Starts a private X server, runs the Windows test program under Wine with that
# display in its own prefix, and stops both again.
xvfb=$1
prefix=$2
exe=$3
here=$(dirname "$0")
display=:$((90 + $$ % 9))
"$xvfb" "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
sleep 1
export DISPLAY=$display
export WINEPREFIX=$prefix
"$here/../wine/wine-run.sh" "$prefix" "$exe"
rc=$?
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
kill $xpid 2>/dev/null
wait $xpid 2>/dev/null
exit $rc
