#!/usr/bin/env bash
# Installs the Debian 12 packages that the build and the tests need, but only
# those that are missing, so a second run costs a few dpkg queries.
#   install-deps.sh            native build, tests, benchmarks and tools
#   install-deps.sh --windows  also the mingw-w64 cross toolchain and Wine
set -euo pipefail

# clang-14 and libclang-rt-14-dev: the fuzz targets (libFuzzer) build with clang.
# dpkg-dev and file: cpack computes the .deb files' dependencies with
# dpkg-shlibdeps, and finds the ELF files to give it with file.
packages=(g++ cmake ninja-build make pkg-config ccache googletest libgtest-dev libgmock-dev
          libbenchmark-dev libcli11-dev nlohmann-json3-dev dpkg-dev file
          python3-pytest python3-setuptools python3-venv python3-wheel-whl
          libftdi1-dev libusb-1.0-0-dev umockdev libumockdev-dev
          clang-14 libclang-rt-14-dev)
if [[ "${1:-}" == "--windows" ]]; then
  # The posix thread model of the cross compiler is the one with std::thread;
  # the cross build's toolchain file names it explicitly.
  # llvm-14's llvm-dlltool writes the MSVC import library mdiohost.lib.
  packages+=(mingw-w64 g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix
             gcc-mingw-w64-x86-64-posix wine64 llvm-14)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
