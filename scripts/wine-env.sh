# Sourced by the scripts: the environment every Wine run of this project uses.
# Never the user's ~/.wine: each build tree has its own throwaway prefix.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Always the project's own virtual display, whatever DISPLAY names: Wine's windows stay off a
# desktop, and a remote display (host:N.S, as ssh -X sets it) plays no part.
export VANTREL_DISPLAY_NUM=${VANTREL_DISPLAY_NUM:-93}
case $VANTREL_DISPLAY_NUM in
  '' | *[!0-9]*)
    echo "VANTREL_DISPLAY_NUM must be a display number such as 93, not '$VANTREL_DISPLAY_NUM'" >&2
    exit 2 ;;
esac
export DISPLAY=:$VANTREL_DISPLAY_NUM
# Code page 936 for the control panel's strings. Only Wine's own runs get it (LC_ALL is set
# where Wine starts): other tools and the scripts' messages stay in the caller's language.
VANTREL_WINE_LOCALE=zh_CN.UTF-8

# The two Wine loaders: 32-bit programs run under the first, 64-bit ones under the second.
WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64
# wine_loader ARCH: the loader of that build tree's programs.
wine_loader() {
  if [ "$1" = i686 ]; then echo "$WINE32_LOADER"; else echo "$WINE64_LOADER"; fi
}
# Some hosts run 64-bit code only: their kernel refuses every 32-bit program. There the i686
# tree is built but not run, and the 32-bit deliverables' sources run as 64-bit code in the
# x86_64 tree. VANTREL_RUN_32BIT=0 makes a run act as on such a host, whatever this one can do.
case ${VANTREL_RUN_32BIT:-} in
  '' | 0 | 1) ;;
  *)
    echo "VANTREL_RUN_32BIT must be 0 (act as on a host that runs no 32-bit programs) or 1, not '$VANTREL_RUN_32BIT'" >&2
    exit 2 ;;
esac

# host_runs_32bit: whether 32-bit programs may be started here. Found by starting the 32-bit
# loader once: a kernel that refuses 32-bit code and a loader that cannot start both say no,
# and what they print goes nowhere.
host_runs_32bit() {
  [ "${VANTREL_RUN_32BIT:-}" != 0 ] && "$WINE32_LOADER" --version >/dev/null 2>&1
}

# Why no 32-bit program is started, for the scripts' messages.
no_32bit_reason() {
  if [ "${VANTREL_RUN_32BIT:-}" = 0 ]; then
    echo "VANTREL_RUN_32BIT=0 makes this run act as on a host that runs no 32-bit programs"
  else
    echo "this host cannot start 32-bit programs (the 32-bit Wine loader $WINE32_LOADER does not start)"
  fi
}
