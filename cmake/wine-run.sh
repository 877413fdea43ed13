#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# Runs one Windows program of the cross build under Wine, with its own prefix
# (the Wine "C: drive" and registry) inside the build directory. Creating a
# prefix takes tens of seconds, so it is done once, under a lock, by whichever
# run comes first; later runs reuse it.
set -euo pipefail
prefix=$1
shift
wine=${MDIOHOST_WINE:-/usr/lib/wine/wine64}

export WINEPREFIX=$prefix
export WINEDEBUG=-all
# No .NET or HTML engine installers, and no crash dialog: a crashing test must
# end with a failure code, not wait for a click. No menu entries written into
# the home directory either.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

wineserver=${wine%/*}/wineserver
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [[ ! -f "$prefix/system.reg" ]]; then
    "$wine" wineboot --init >/dev/null 2>&1 9>&-
    # wineboot returns before the registry files are written.
    "$wineserver" -w 9>&-
  fi
  # A Wine server that outlives its last program by ten seconds keeps one
  # server for a whole ctest run; when one is already running this returns
  # non-zero at once. A new server's first program also starts Wine's system
  # processes, which live as long as the server and keep the output pipes
  # they inherit open, so ctest would wait for them to the end of the run;
  # here they are started from a program whose output goes nowhere. Neither
  # may inherit the lock.
  if "$wineserver" -p10 </dev/null >/dev/null 2>&1 9>&-; then
    "$wine" cmd /c exit 0 </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$prefix.lock"

exec "$wine" "$@"
