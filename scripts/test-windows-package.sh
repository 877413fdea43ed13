#!/usr/bin/env bash
# test-windows-package.sh BUILD: the Windows zip of a cross build, unpacked
# as a Windows user would: its layout, mdioctl.exe on the simulated bench
# under Wine, and a C host built with mingw-w64 against the unpacked folder.
# (That mdiohost.lib names every C export is a test of the Windows suite.)
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: test-windows-package.sh BUILD}" && pwd)
work=$build/package-test
rm -rf "$work" "$build/packages"
mkdir -p "$work"

source "$source/scripts/package-checks.sh"
wine() {
  "$source/cmake/wine-run.sh" "$build/wine" "$@"
}

(cd "$build" && cpack -G ZIP >/dev/null) || fail "cpack -G ZIP"
zip=$(echo "$build"/packages/mdiohost-*-win64.zip)
[[ -f $zip ]] || fail "no zip in $build/packages"
(cd "$work" && cmake -E tar xf "$zip")
root=$work/$(basename "$zip" .zip)
echo "-- $(basename "$zip")"

for file in bin/mdiohost.dll bin/mdioctl.exe bin/sim/FTD2XX.dll lib/libmdiohost.dll.a \
  lib/mdiohost.lib include/mdiohost.h include/mdiohost_ext.h lib/cmake/mdiohost/mdiohostConfig.cmake; do
  [[ -f $root/$file ]] || fail "the zip lacks $file"
done
# A simulated driver beside the programs would stand in for the real one.
[[ ! -e $root/bin/FTD2XX.dll ]] || fail "the zip has the simulated FTD2XX.dll beside the programs"
echo "ok: the zip's layout"

version=$(sed -n 's/^#define MDIOHOST_VERSION_\(MAJOR\|MINOR\|PATCH\) //p' \
  "$source/include/mdiohost.h" | paste -sd.)
expect "mdioctl $version" wine "$root/bin/mdioctl.exe" --version
expect "K8A00001:MDIO" wine "$root/bin/mdioctl.exe" --sim list

x86_64-w64-mingw32-gcc-posix -std=c11 -Wall -Wextra -Wpedantic -Werror -I"$root/include" \
  "$source/examples/hello_host.c" -L"$root/lib" -lmdiohost -o "$root/bin/hello_host.exe"
expect "HW_Fail() = 0" wine "$root/bin/hello_host.exe"
