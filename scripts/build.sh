#!/usr/bin/env bash
# Installs what is missing, then configures and builds the flavours named (both when none
# is), quietly: a step's output is shown only when it fails. After --target, only those
# targets are built. usage: scripts/build.sh [win64] [win32] [--target TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-prerequisites.sh
log=$(mktemp)
trap 'rm -f "$log"' EXIT
flavours=()
while [ $# -gt 0 ] && [ "$1" != --target ]; do
  flavours+=("$1")
  shift
done
targets=("$@")
[ ${#flavours[@]} -gt 0 ] || flavours=(win64 win32)
for flavour in "${flavours[@]}"; do
  if ! { cmake --preset "$flavour" && cmake --build --preset "$flavour" "${targets[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "build of $flavour failed" >&2
    exit 1
  fi
done
