#!/usr/bin/env bash
# Unpacks the download into a fresh folder of the Wine prefix, as a Windows user would,
# then runs a read and the start-up gate from there.
# usage: test-package.sh SOURCE_DIR BIN_FOLDER DRIVER.exe OWN_EXE OWN_BITNESS OTHER_BITNESS
set -eu
src=$1 bin=$2 driver=$3 own=$4 ownBits=$5 otherBits=$6
: "${WINEPREFIX:?}"
folder=$WINEPREFIX/drive_c/Rostermint-download
rm -rf "$folder" "$folder.zip"
echo "package: unpacking the download into C:\\Rostermint-download"
bash "$src/cmake/make-package.sh" "$bin" "$src/package/README.txt" "$folder.zip"
python3 - "$folder.zip" "$folder" <<'PY'
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
names = sorted(z.namelist())
assert names == ["README.txt", "Rostermint32.exe", "Rostermint64.exe", "RostermintC32.exe", "RostermintC64.exe"], names
z.extractall(sys.argv[2])
print("unpacked:", " ".join(names))
PY
run() { bash "$src/cmake/wine-run.sh" "$driver" "C:\\Rostermint-download\\$own" "$@"; }
run "outlook:$ownBits" connect profile:ok idle counters ctrlw exit:0
status=0
run "outlook:$otherBits" sibling || status=$?
[ $status = 0 ] || [ $status = 77 ] || exit 1
rm -rf "$folder" "$folder.zip"
# Only now, with every run above passed.
echo "package: the read and the gate from the unpacked folder work"
