#!/usr/bin/env bash
# make demo: a short, real session of mdioctl on the default simulated bench.
set -euo pipefail
build=${1:-build}
mdioctl="$build/tools/mdioctl/mdioctl"

run() {
  echo "\$ mdioctl $*"
  "$mdioctl" "$@"
  echo
}

run --sim list
run --sim scan K8A00001:MDIO
run --sim read K8A00001:MDIO 3 1.0x0002+2
run --sim read K8A00001:MDIO 3 c22:2-3
run --sim write K8A00001:MDIO 3 1.0x0000 0x0800/0xF7FF
run --sim write TV00001B 1 7.0x0010 0xBEEF --verify
run --sim dump K8A00001:MDIO 3 1.0x0000-0x003F
run --sim bench K8A00001:MDIO 3
