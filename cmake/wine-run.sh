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
# end with a failure code, not wait for a click.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY

if [[ ! -f "$prefix/system.reg" ]]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [[ ! -f "$prefix/system.reg" ]]; then
      "$wine" wineboot --init >/dev/null 2>&1
      # wineboot returns before the registry files are written.
      "${wine%/*}/wineserver" -w
    fi
  ) 9>"$prefix.lock"
fi

# Starting the Wine server costs about two seconds. One that outlives its
# last program by a few seconds serves a whole ctest run; when one is already
# running this returns at once.
"${wine%/*}/wineserver" -p10 2>/dev/null || true

exec "$wine" "$@"
