#!/usr/bin/env bash
# bench.sh [ARCH...]: installs what is missing, builds the effect driver's benchmark for each
# architecture (i686, x86_64; default: both, or only x86_64 where 32-bit programs cannot be
# started) and runs it under Wine; it prints figures and never fails. At the end it stops the
# prefix's wineserver, and the virtual display if it started it.
set -eu
. "$(dirname "$0")/args.sh"
archs=("$@")
[ ${#archs[@]} -eq 0 ] || check_archs bench.sh "${archs[@]}"
. "$project/scripts/display.sh"
cd "$project"
bash scripts/setup.sh </dev/null
if [ ${#archs[@]} -gt 0 ]; then
  if [[ " ${archs[*]} " == *" i686 "* ]] && ! host_runs_32bit; then
    echo "bench.sh: the i686 benchmark cannot run here: $(no_32bit_reason)" >&2
    exit 2
  fi
elif host_runs_32bit; then
  archs=(i686 x86_64)
else
  echo "bench.sh: skipping i686: $(no_32bit_reason)"
  archs=(x86_64)
fi
running=""
display_note
trap '[ -z "$running" ] || bash scripts/wine-stop.sh "$running"; display_release' EXIT
for arch in "${archs[@]}"; do
  TARGETS=ffbench bash scripts/build.sh "$arch"
  running="$build_root/$arch"
  bash scripts/wine-prep.sh "$running"
  echo "== $arch"
  bash scripts/wine-run.sh "$running/wineprefix" "$(wine_loader "$arch")" \
    "$running/bench/ffdriver/ffbench.exe"
  bash scripts/wine-stop.sh "$running"
  running=""
done
