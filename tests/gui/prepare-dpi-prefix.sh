#!/usr/bin/env bash
# Makes a second test prefix whose screen reports another resolution.
# usage: prepare-dpi-prefix.sh CMAKE_DIR PREFIX DPI
set -eu
cmake_dir=$1 prefix=$2 dpi=$3
bash "$cmake_dir/prepare-wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all
value=$(printf '0x%08x' "$dpi")
if ! grep -qi "\"LogPixels\"=dword:${value#0x}" "$prefix/user.reg"; then
  bash "$cmake_dir/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  # Wine reads the resolution when its server starts; end this one so the next starts afresh.
  wineserver -k || true
  wineserver -w || true
fi
