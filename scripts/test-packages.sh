#!/usr/bin/env bash
# test-packages.sh BUILD: what a user gets from a Linux build tree, checked
# the way the README's Install section tells a user to get it.
#   1. cmake --install into a staging prefix; examples/hello_host.c and
#      examples/read_phy_id.cpp built against it three ways (find_package,
#      pkg-config, plain -lmdiohost) and run on the installed simulated bench.
#   2. cpack's .deb files unpacked into a throwaway root; mdioctl run from
#      there.
#   3. No installed file, in the prefix or the packages, names the source or
#      build tree, and no ELF file has a run path outside $ORIGIN.
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: test-packages.sh BUILD}" && pwd)
work=$build/package-test
rm -rf "$work"
mkdir -p "$work"

source "$source/scripts/package-checks.sh"
# The two example programs as a user runs them: the C one asks for the
# failure state, the C++ one reads a PHY id through the bench.
run_examples() {
  local programs=$1 bench=$2
  expect "HW_Fail() = 0" "$programs/hello_host"
  MDIOHOST_D2XX=$bench expect "PHY 3 id 7C0A:4C21" "$programs/read_phy_id" K8A00001:MDIO 3
}
# no_build_paths ROOT: no file under ROOT names this tree, and every run path
# of an ELF file is relative to the file itself.
no_build_paths() {
  local root=$1 file runpaths
  if grep -rlF -- "$source" "$root"; then fail "the files above name $source"; fi
  while IFS= read -r -d '' file; do
    [[ $(head -c4 "$file" | od -An -c | tr -d ' ') == '177ELF' ]] || continue
    runpaths=$(readelf -d "$file" | sed -n 's/.*(\(RUN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p')
    for path in ${runpaths//:/ }; do
      [[ $path == '$ORIGIN'* ]] || fail "$file has the run path $path"
    done
  done < <(find "$root" -type f -print0)
  echo "ok: no build paths under $root"
}

flags=(-Wall -Wextra -Wpedantic -Werror)

echo "-- cmake --install into a staging prefix"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
bench=$prefix/lib/mdiohost/sim/libmdiosim.so
[[ -f $bench && -f $prefix/lib/mdiohost/sim/libftd2xx.so ]] || fail "no bench in $prefix/lib/mdiohost/sim"
[[ $(readelf -d "$prefix/lib/libmdiohost.so" | grep SONAME) == *'[libmdiohost.so.0]'* ]] ||
  fail "libmdiohost.so lacks the soname libmdiohost.so.0"
expect "K8A00001:MDIO" "$prefix/bin/mdioctl" --sim list
no_build_paths "$prefix"

echo "-- examples built with find_package(mdiohost)"
cmake -S "$source/examples" -B "$work/find-package" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="${flags[*]}" -DCMAKE_CXX_FLAGS="${flags[*]}" \
  >/dev/null
cmake --build "$work/find-package" >/dev/null
run_examples "$work/find-package" "$bench"

echo "-- examples built with pkg-config"
mkdir -p "$work/pkg-config"
read -ra pc <<<"$(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --cflags --libs mdiohost)"
cc -std=c11 "${flags[@]}" "$source/examples/hello_host.c" "${pc[@]}" -o "$work/pkg-config/hello_host"
c++ -std=c++17 "${flags[@]}" "$source/examples/read_phy_id.cpp" "${pc[@]}" \
  -o "$work/pkg-config/read_phy_id"
LD_LIBRARY_PATH=$prefix/lib run_examples "$work/pkg-config" "$bench"

echo "-- examples built with plain -lmdiohost"
mkdir -p "$work/plain"
cc -std=c11 "${flags[@]}" -I"$prefix/include" "$source/examples/hello_host.c" \
  -L"$prefix/lib" -lmdiohost -o "$work/plain/hello_host"
c++ -std=c++17 "${flags[@]}" -I"$prefix/include" "$source/examples/read_phy_id.cpp" \
  -L"$prefix/lib" -lmdiohost -o "$work/plain/read_phy_id"
LD_LIBRARY_PATH=$prefix/lib run_examples "$work/plain" "$bench"

echo "-- Debian packages"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack -G DEB"
root=$work/root
for deb in "$build"/packages/*.deb; do
  echo "   $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
  dpkg-deb -x "$deb" "$root"
done
depends=$(dpkg-deb -f "$build"/packages/mdiohost-tools_*.deb Depends)
[[ $depends == *libmdiohost0* && $depends == *libc6* ]] ||
  fail "mdiohost-tools depends on '$depends', not on libmdiohost0 and the C library"
version=$(sed -n 's/^#define MDIOHOST_VERSION_\(MAJOR\|MINOR\|PATCH\) //p' \
  "$source/include/mdiohost.h" | paste -sd.)
expect "mdioctl $version" "$root/usr/bin/mdioctl" --version
expect "K8A00001:MDIO" "$root/usr/bin/mdioctl" --sim list
no_build_paths "$root"
