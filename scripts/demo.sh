#!/usr/bin/env bash
# demo.sh [DLL]: installs what is missing, builds the 32-bit driver in both revisions and plays
# a short scripted sequence of effects on the simulated pad, printing the motor reports as they
# arrive. DLL names another build of the driver to play it through, relative to the current
# folder (default: the first revision's build/i686/ffdriver/Vantrel.dll); a 64-bit build plays
# with the 64-bit host. On a host that cannot start 32-bit programs (or with
# VANTREL_RUN_32BIT=0) it plays through the first revision's 64-bit build, Vantrel64.dll.
set -eu
. "$(dirname "$0")/args.sh"
usage() {
  echo "usage: demo.sh [DLL]   (DLL: a build of the driver, such as build/i686/ffdriver/rev2/Vantrel.dll)" >&2
  exit 2
}

# pe_arch FILE: i686 or x86_64 for a Windows binary of that machine; nothing for anything else.
pe_arch() {
  local header
  [ "$(head -c 2 "$1" 2>/dev/null)" = MZ ] || return 0
  header=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$header" ] && [ "$(od -An -c -j "$header" -N 4 "$1" 2>/dev/null | tr -d ' ')" = 'PE\0\0' ] ||
    return 0
  case $(od -An -t x2 -j $((header + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ') in
    014c) echo i686 ;;
    8664) echo x86_64 ;;
  esac
}

dll=()
arch=i686
case $# in
  0) ;;
  1)
    [[ $1 != -* ]] || usage
    dll=("$(realpath -m "$1")")
    [ -f "${dll[0]}" ] || { echo "demo.sh: no file ${dll[0]}" >&2; exit 2; }
    arch=$(pe_arch "${dll[0]}")
    [ -n "$arch" ] || { echo "demo.sh: ${dll[0]} is no 32-bit or 64-bit Windows DLL" >&2; exit 2; } ;;
  *) usage ;;
esac
. "$project/scripts/display.sh"
cd "$project"
bash scripts/setup.sh </dev/null
if [ "$arch" = i686 ] && ! host_runs_32bit; then
  if [ ${#dll[@]} -gt 0 ]; then
    echo "demo.sh: ${dll[0]} is a 32-bit build, and $(no_32bit_reason); name a 64-bit build such as build/x86_64/ffdriver/Vantrel64.dll" >&2
    exit 2
  fi
  echo "demo.sh: $(no_32bit_reason): playing through the 64-bit Vantrel64.dll (the first revision) with the 64-bit host."
  arch=x86_64
fi
if [ "$arch" = i686 ]; then
  TARGETS="Vantrel Vantrel_rev2 ffdemo" bash scripts/build.sh i686
else
  TARGETS="Vantrel64 ffdemo" bash scripts/build.sh x86_64
fi
tree=$build_root/$arch
display_note
trap 'bash scripts/wine-stop.sh "$tree"; display_release' EXIT
# The first run makes the build tree's Wine prefix, which takes about a minute.
bash scripts/wine-prep.sh "$tree"
bash scripts/wine-run.sh "$tree/wineprefix" "$(wine_loader "$arch")" \
  "$tree/tools/ffdemo/ffdemo.exe" "${dll[@]}"
