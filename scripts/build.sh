#!/usr/bin/env bash
# Installs what is missing, then configures and builds the flavours named (both when none
# is), quietly: a step's output is shown only when it fails. usage: scripts/build.sh [win64] [win32]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-prerequisites.sh
log=$(mktemp)
trap 'rm -f "$log"' EXIT
flavours=("$@")
[ $# -gt 0 ] || flavours=(win64 win32)
for flavour in "${flavours[@]}"; do
  if ! { cmake --preset "$flavour" && cmake --build --preset "$flavour"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "build of $flavour failed" >&2
    exit 1
  fi
done
