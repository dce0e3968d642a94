#!/usr/bin/env bash
# bench.sh [ARCH...]: installs what is missing, builds the effect driver's benchmark for each
# architecture (i686, x86_64; default: both) and runs it under Wine; it prints figures and
# never fails. At the end it stops the prefix's wineserver, and the virtual display if it
# started it.
set -eu
. "$(dirname "$0")/args.sh"
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
check_archs bench.sh "${archs[@]}"
. "$project/scripts/display.sh"
cd "$project"
bash scripts/setup.sh </dev/null
running=""
display_note
trap '[ -z "$running" ] || bash scripts/wine-stop.sh "$running"; display_release' EXIT
for arch in "${archs[@]}"; do
  case $arch in
    i686) loader=/usr/lib/wine/wine ;;
    x86_64) loader=/usr/lib/wine/wine64 ;;
  esac
  TARGETS=ffbench bash scripts/build.sh "$arch"
  running="$build_root/$arch"
  bash scripts/wine-prep.sh "$running"
  echo "== $arch"
  bash scripts/wine-run.sh "$running/wineprefix" "$loader" "$running/bench/ffdriver/ffbench.exe"
  bash scripts/wine-stop.sh "$running"
  running=""
done
