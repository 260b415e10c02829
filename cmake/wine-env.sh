# Sourced by the scripts that run Wine: sets rostermint_wine (the command that starts a
# Windows program) and the Wine variables the project's prefixes need.
#
# Some kernels run no 32-bit code at all, and Wine's 32-bit loader, which the `wine`
# command prefers, then cannot start. The 64-bit loader still runs 64-bit programs;
# ROSTERMINT_WIN32_RUNS=0 tells the tests that a 32-bit program cannot be started.
# Under scripts/emulate-i386.sh the 32-bit loader runs under qemu-i386: there the 64-bit
# loader starts programs, so 64-bit ones run natively, and hands 32-bit ones to it.
rostermint_wine=(wine)
export ROSTERMINT_WIN32_RUNS=1
if [ -n "${ROSTERMINT_I386_EMULATION:-}" ] && [ -x /usr/lib/wine/wine64 ]; then
  rostermint_wine=(/usr/lib/wine/wine64)
  export WINELOADER=/usr/lib/wine/wine64
elif ! wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
  rostermint_wine=(/usr/lib/wine/wine64)
  export WINELOADER=/usr/lib/wine/wine64
  ROSTERMINT_WIN32_RUNS=0
fi
export WINEDEBUG=${WINEDEBUG:--all}

# The shell's own WINEDLLOVERRIDES is kept, but the project's entries win: no Mono or
# Gecko installer, and the MAPI stand-in (ROSTERMINT_MAPI32=b picks Wine's own MAPI32).
rostermint_overrides() {
  local inherited=$1 kept=() entry names modes name out
  IFS=';' read -ra entries <<<"$inherited"
  for entry in "${entries[@]}"; do
    [ -n "$entry" ] || continue
    names=${entry%%=*}
    modes=${entry#"$names"}
    out=()
    IFS=',' read -ra list <<<"$names"
    for name in "${list[@]}"; do
      case "${name,,}" in mapi32 | mscoree | mshtml | "") ;; *) out+=("$name") ;; esac
    done
    [ ${#out[@]} -gt 0 ] && kept+=("$(IFS=','; echo "${out[*]}")$modes")
  done
  kept+=("mscoree,mshtml=" "mapi32=${ROSTERMINT_MAPI32:-n}")
  (IFS=';'; echo "${kept[*]}")
}
export WINEDLLOVERRIDES=$(rostermint_overrides "${WINEDLLOVERRIDES:-}")
