#!/usr/bin/env bash
# bench.sh [ARCH...]: installs what is missing, builds the effect driver's benchmark for each
# architecture (default: i686 and x86_64) and runs it under Wine; it prints figures and never
# fails. At the end it stops the prefix's wineserver, and the virtual display if it started it.
set -eu
cd "$(dirname "$0")/.."
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
bash scripts/setup.sh </dev/null
root=${BUILD_ROOT:-build}
running=""
. scripts/display.sh
display_note
trap '[ -z "$running" ] || bash scripts/wine-stop.sh "$running"; display_release' EXIT
for arch in "${archs[@]}"; do
  case $arch in
    i686) loader=/usr/lib/wine/wine ;;
    x86_64) loader=/usr/lib/wine/wine64 ;;
    *) echo "bench.sh: no architecture $arch (i686 or x86_64)" >&2; exit 2 ;;
  esac
  TARGETS=ffbench bash scripts/build.sh "$arch"
  running="$root/$arch"
  bash scripts/wine-prep.sh "$running"
  echo "== $arch"
  bash scripts/wine-run.sh "$PWD/$running/wineprefix" "$loader" "$running/bench/ffdriver/ffbench.exe"
  bash scripts/wine-stop.sh "$running"
  running=""
done
