#!/usr/bin/env bash
# Builds both flavours and makes the download, build/Rostermint-<version>.zip: Rostermint32.exe,
# Rostermint64.exe and README.txt side by side. The MAPI stand-in is not in it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
version=$(sed -n 's/^project(Rostermint VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
bash cmake/make-package.sh build/win32/bin package/README.txt "build/Rostermint-$version.zip"
echo "build/Rostermint-$version.zip"
