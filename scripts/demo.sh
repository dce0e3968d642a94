#!/usr/bin/env bash
# demo.sh [DLL]: installs what is missing, builds the 32-bit driver in both revisions and plays
# a short scripted sequence of effects on the simulated pad, printing the motor reports as they
# arrive. DLL names another build of the driver to play it through (default: the first
# revision's build/i686/ffdriver/Vantrel.dll).
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh </dev/null
root=${BUILD_ROOT:-build}
dll=()
[ $# -eq 0 ] || dll=("$(realpath -m "$1")")
TARGETS="Vantrel Vantrel_rev2 ffdemo" bash scripts/build.sh i686
. scripts/display.sh
display_note
trap 'bash scripts/wine-stop.sh "$root/i686"; display_release' EXIT
# The first run makes the build tree's Wine prefix, which takes about a minute.
bash scripts/wine-prep.sh "$root/i686"
bash scripts/wine-run.sh "$PWD/$root/i686/wineprefix" /usr/lib/wine/wine \
  "$root/i686/tools/ffdemo/ffdemo.exe" "${dll[@]}"
