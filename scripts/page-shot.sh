#!/usr/bin/env bash
# page-shot.sh [--no-pad] PAGE FILE.png: shows Ulvane's property sheet on one page (0 test
# page, 1 rumble test page, 2 About) as the game-controller panel would, for 8 seconds, and
# saves a screenshot of the screen after 5. By default the pages see a simulated pad
# (ulvanehost_fake); --no-pad loads the built Ulvane.dll with Wine's own DirectInput
# (ulvanehost). Installs what is missing and builds what it needs; at the end it stops the
# prefix's wineserver, and the virtual display if it started it.
set -eu
cd "$(dirname "$0")/.."
host=ulvanehost_fake
if [ "${1:-}" = --no-pad ]; then host=ulvanehost; shift; fi
if [ $# -ne 2 ]; then
  echo "usage: page-shot.sh [--no-pad] PAGE FILE.png" >&2
  exit 2
fi
page=$1
out=$(realpath -m "$2")
bash scripts/setup.sh </dev/null
root=${BUILD_ROOT:-build}
TARGETS=$host bash scripts/build.sh i686
# Always the project's own virtual display, whatever DISPLAY names: the picture is of the
# whole screen, and a desktop's would show everything else on it.
. scripts/wine-env.sh
export DISPLAY=:$VANTREL_DISPLAY_NUM
. scripts/display.sh
display_note
trap 'bash scripts/wine-stop.sh "$root/i686"; display_release' EXIT
bash scripts/wine-prep.sh "$root/i686"
bash scripts/wine-run.sh "$PWD/$root/i686/wineprefix" /usr/lib/wine/wine \
  "$root/i686/tools/ulvanehost/$host.exe" --page "$page" --close-after 8000 &
sleep 5
xwd -root -display "$DISPLAY" -silent | convert xwd:- "$out"
wait
echo "page $page: $out"
