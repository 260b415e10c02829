#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, as root.
# Quick when everything is already there: it only checks.
set -euo pipefail

# fonts-wine: Wine's Marlett, which draws the caption buttons (without it they show as
# "0 1 r"); fonts-wqy-microhei: one small font with Chinese, Japanese and Korean, which Wine
# finds through fontconfig, for the demo's names in those scripts.
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 googletest
          wine wine64 wine32:i386 xvfb xauth imagemagick python3 fonts-wine fonts-wqy-microhei)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
need_root() {
  [ "$(id -u)" = 0 ] && return 0
  echo "missing: $*; run this script as root" >&2
  exit 1
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  need_root "${missing[*]}"
  echo "installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A kernel that runs no 32-bit code can still run Wine's 32-bit loader under qemu-i386
# (scripts/emulate-i386.sh). Bookworm's own qemu 7.2 takes a minute or more to start each
# process, so qemu-user comes from bookworm-backports, and only that one package.
/usr/lib/wine/wine --version >/dev/null 2>&1 && exit 0
# No qemu-i386 yet is no failure of this script: it is what installs it.
qemu_major=$( (qemu-i386 --version 2>/dev/null || true) | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
[ "${qemu_major:-0}" -ge 8 ] && exit 0
need_root "qemu-user from bookworm-backports (this kernel runs no 32-bit code)"

# shellcheck source=/dev/null
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
backports=$codename-backports
sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && sources+=("$f")
done
# The mirror that the machine's own sources name for its release, in either format.
mirror() {
  awk -v suite="$codename" '
    /^deb[ \t]/ { sub(/^deb[ \t]+(\[[^]]*\][ \t]+)?/, ""); split($0, f, /[ \t]+/)
                  if (f[2] == suite) { print f[1]; exit } }
    /^URIs:/    { uri = $2 }
    /^Suites:/  { for (i = 2; i <= NF; i++) if ($i == suite && uri != "") { print uri; exit } }
    /^[ \t]*$/  { uri = "" }' "${sources[@]}"
}
if ! grep -qs -E "^[^#]*[[:space:]]$backports([[:space:]]|$)" "${sources[@]}"; then
  uri=$(mirror)
  [ -n "$uri" ] || { echo "no Debian mirror for $codename in apt's sources" >&2; exit 1; }
  printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" "$backports" >/etc/apt/sources.list.d/rostermint-backports.sources
fi
# Nothing else comes from backports, not even by an upgrade.
cat >/etc/apt/preferences.d/rostermint-backports <<EOF
Package: *
Pin: release n=$backports
Pin-Priority: -1

Package: qemu-user
Pin: release n=$backports
Pin-Priority: 990
EOF
echo "installing: qemu-user from $backports (this kernel runs no 32-bit code)"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends qemu-user >/dev/null
