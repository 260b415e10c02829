#!/usr/bin/env bash
# Runs a command where the kernel hands 32-bit x86 programs to qemu-i386, for kernels that
# run no 32-bit code themselves. Wine re-executes its own loader, so a wrapper around one
# command would not do: the command runs in a user and mount namespace of its own with a
# binfmt_misc instance of its own (Linux 6.7 or later), and nothing changes outside it.
# 64-bit programs still run natively in there.
#   scripts/emulate-i386.sh COMMAND [ARG...]   runs COMMAND so
#   scripts/emulate-i386.sh --check            exit code 0 when Wine's 32-bit loader starts
#                                              so; otherwise prints why not, in one line
set -euo pipefail
loader32=/usr/lib/wine/wine

if [ "${1:-}" = --inside ]; then
  shift
  qemu=$1
  shift
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  # An i386 ELF executable or shared object. With F the kernel opens qemu-i386 now, so it is
  # found whatever a program's own root and mounts are.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":rostermint-i386:M::$magic:$mask:$qemu:F" >/proc/sys/fs/binfmt_misc/register
  export ROSTERMINT_I386_EMULATION=qemu-i386
  # 32-bit programs start in here, whatever the shell outside found.
  export ROSTERMINT_WIN32_RUNS=1
  exec "$@"
fi

# Already inside: nothing more to set up.
if [ -n "${ROSTERMINT_I386_EMULATION:-}" ] && [ "${1:-}" != --check ]; then
  exec "$@"
fi

qemu=$(command -v qemu-i386 || true)
if [ "${1:-}" = --check ]; then
  if [ -z "$qemu" ]; then
    echo "qemu-i386 is not installed (scripts/install-prerequisites.sh installs it)"
    exit 1
  fi
  if ! unshare --user --map-root-user --mount --propagation private true 2>/dev/null; then
    echo "this machine allows no user and mount namespaces (unshare failed)"
    exit 1
  fi
  if ! out=$("$0" "$loader32" --version 2>&1); then
    if grep -qi binfmt <<<"$out"; then
      echo "this kernel gives a user namespace no binfmt_misc of its own (Linux 6.7 or later does)"
    else
      echo "Wine's 32-bit loader does not start under qemu-i386: $(head -n1 <<<"$out")"
    fi
    exit 1
  fi
  exit 0
fi
[ -n "$qemu" ] || { echo "emulate-i386.sh: qemu-i386 is not installed" >&2; exit 1; }
exec unshare --user --map-root-user --mount --propagation private "$0" --inside "$qemu" "$@"
