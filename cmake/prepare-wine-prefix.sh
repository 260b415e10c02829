#!/usr/bin/env bash
# Makes the tests' Wine prefix once, then copies files into it on every run.
# usage: prepare-wine-prefix.sh PREFIX [DEST=SOURCE ...]   (DEST relative to drive_c)
set -eu
prefix=$1; shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ] || [ ! -d "$prefix/drive_c/windows/syswow64" ]; then
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a wineboot -i >/dev/null 2>&1
  else
    wineboot -i >/dev/null 2>&1
  fi
  wineserver -w
fi
# No window manager runs on the test display; unmanaged windows spare the tests Wine's
# two-second wait for one each time a top-level window is hidden.
if ! grep -q '"Managed"="N"' "$prefix/user.reg"; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi
for pair in "$@"; do
  dest=$prefix/drive_c/${pair%%=*}
  mkdir -p "$(dirname "$dest")"
  cp -f "${pair#*=}" "$dest"
done
