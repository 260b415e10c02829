#!/usr/bin/env bash
# Builds the 64-bit program and starts it under Wine on this display, with the MAPI
# stand-in as its Exchange directory (1,000 generated entries and the profile dialog, or
# the scenario that MAPISIM_SCENARIO names: see mapisim/README.md). Exits with its exit code.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh shows the program's window: set DISPLAY to an X display" >&2
  exit 2
fi
./scripts/install-prerequisites.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 >/dev/null
prefix=$PWD/build/win64/run-prefix
bash cmake/prepare-wine-prefix.sh "$prefix" "windows/system32/mapi32.dll=$PWD/build/win64/mapisim/dll/MAPI32.dll"
export WINEPREFIX=$prefix
source cmake/wine-env.sh
# A 64-bit Outlook 2013 in the prefix's registry: the 64-bit flavour is then the one to log on.
"${rostermint_wine[@]}" reg add 'HKCR\Outlook.Application\CurVer' /ve /d Outlook.Application.15 /f /reg:32 >/dev/null 2>&1
"${rostermint_wine[@]}" reg add 'HKLM\SOFTWARE\Microsoft\Office\15.0\Outlook' /v Bitness /d x64 /f /reg:64 >/dev/null 2>&1
exec "${rostermint_wine[@]}" build/win64/bin/Rostermint64.exe
