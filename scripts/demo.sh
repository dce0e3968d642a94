#!/usr/bin/env bash
# demo.sh [DLL]: installs what is missing, builds the 32-bit driver in both revisions and plays
# a short scripted sequence of effects on the simulated pad, printing the motor reports as they
# arrive. DLL names another build of the driver to play it through, relative to the current
# folder (default: the first revision's build/i686/ffdriver/Vantrel.dll).
set -eu
. "$(dirname "$0")/args.sh"
usage() {
  echo "usage: demo.sh [DLL]   (DLL: a build of the driver, such as build/i686/ffdriver/rev2/Vantrel.dll)" >&2
  exit 2
}
dll=()
case $# in
  0) ;;
  1) [[ $1 != -* ]] || usage; dll=("$(realpath -m "$1")") ;;
  *) usage ;;
esac
. "$project/scripts/display.sh"
cd "$project"
bash scripts/setup.sh </dev/null
TARGETS="Vantrel Vantrel_rev2 ffdemo" bash scripts/build.sh i686
tree=$build_root/i686
display_note
trap 'bash scripts/wine-stop.sh "$tree"; display_release' EXIT
# The first run makes the build tree's Wine prefix, which takes about a minute.
bash scripts/wine-prep.sh "$tree"
bash scripts/wine-run.sh "$tree/wineprefix" /usr/lib/wine/wine \
  "$tree/tools/ffdemo/ffdemo.exe" "${dll[@]}"
