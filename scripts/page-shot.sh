#!/usr/bin/env bash
# page-shot.sh [--no-pad] PAGE FILE.png: shows Ulvane's property sheet on one page (0 test
# page, 1 rumble test page, 2 About) as the game-controller panel would, for 8 seconds, and
# saves a screenshot of the screen after 5 to FILE, relative to the current folder. By default
# the pages see a simulated pad (ulvanehost_fake); --no-pad loads the built Ulvane.dll with
# Wine's own DirectInput (ulvanehost). Installs what is missing and builds what it needs; at
# the end it stops the prefix's wineserver, and the virtual display if it started it. Exits
# non-zero, saving nothing, when the page host fails or the screenshot cannot be made. On a host
# that cannot start 32-bit programs (or with VANTREL_RUN_32BIT=0) it shows the page from the
# control panel's 64-bit test build.
set -eu
. "$(dirname "$0")/args.sh"
usage() {
  echo "usage: page-shot.sh [--no-pad] PAGE FILE.png   (PAGE: 0 test page, 1 rumble test page, 2 About)" >&2
  exit 2
}
host=ulvanehost_fake
if [ "${1:-}" = --no-pad ]; then host=ulvanehost; shift; fi
[ $# -eq 2 ] || usage
case $1 in 0 | 1 | 2) page=$1 ;; *) usage ;; esac
out=$(realpath -m "$2")
[ -d "$(dirname "$out")" ] || { echo "page-shot.sh: no folder $(dirname "$out")" >&2; exit 2; }
[ ! -d "$out" ] || { echo "page-shot.sh: $out is a folder, not a file name" >&2; exit 2; }
# The picture is of the whole screen: the project's own virtual display, never a desktop.
. "$project/scripts/display.sh"
cd "$project"
bash scripts/setup.sh </dev/null
arch=i686
if ! host_runs_32bit; then
  echo "page-shot.sh: $(no_32bit_reason): showing the page from the control panel's 64-bit test build."
  arch=x86_64
fi
TARGETS=$host bash scripts/build.sh "$arch"
tree=$build_root/$arch
shot=$(mktemp)
display_note
trap 'rm -f "$shot"; bash scripts/wine-stop.sh "$tree"; display_release' EXIT
bash scripts/wine-prep.sh "$tree"
bash scripts/wine-run.sh "$tree/wineprefix" "$(wine_loader "$arch")" \
  "$tree/tools/ulvanehost/$host.exe" --page "$page" --close-after 8000 &
sheet=$!
sleep 5
# A host that has already ended shows nothing: a picture now would be of an empty screen.
if ! kill -0 "$sheet" 2>/dev/null; then
  rc=0; wait "$sheet" || rc=$?
  echo "page-shot.sh: the page host ended before the screenshot (exit code $rc); nothing saved" >&2
  exit 1
fi
if ! xwd -root -display "$DISPLAY" -silent >"$shot"; then
  echo "page-shot.sh: no screenshot of display $DISPLAY; nothing saved" >&2
  exit 1
fi
rc=0; wait "$sheet" || rc=$?
if [ "$rc" != 0 ]; then
  echo "page-shot.sh: the page host failed (exit code $rc); nothing saved" >&2
  exit 1
fi
if ! convert "xwd:$shot" "$out"; then
  echo "page-shot.sh: the screenshot could not be saved as $out" >&2
  exit 1
fi
echo "page $page: $out"
