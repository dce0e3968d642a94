#!/usr/bin/env bash
# wine-prep.sh BUILD_DIR: a display, and the build tree's Wine prefix made and its services
# started outside ctest (services started inside ctest hold its output pipe open).
set -eu
. "$(dirname "$0")/display.sh"
build=$(cd "$1" && pwd)
export WINEPREFIX=$build/wineprefix

# A display first: services started without one make every later window fail.
# A server that died leaves its lock and socket behind; they would stop a new one from starting.
if [ -f "/tmp/.X$display_num-lock" ] && [ -z "$(display_server_pid)" ]; then
  rm -f "/tmp/.X$display_num-lock" "/tmp/.X11-unix/X$display_num"
fi
if [ ! -e "/tmp/.X11-unix/X$display_num" ]; then
  setsid Xvfb ":$display_num" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display_num" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$display_num" ] || { echo "wine-prep: no display :$display_num" >&2; exit 1; }
fi

export LC_ALL=$VANTREL_WINE_LOCALE
if [ ! -f "$WINEPREFIX/.vantrel-ready" ]; then
  rm -rf "$WINEPREFIX"
  # Wine's set-up of a 64-bit prefix starts its own 32-bit half from the 32-bit loader; where
  # that cannot start, the set-up goes on without it, and the 64-bit programs do not need it.
  "$WINE64_LOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w
  touch "$WINEPREFIX/.vantrel-ready"
fi
# A persistent server and the services, started here so the tests find them running.
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
"$WINE64_LOADER" cmd /c exit </dev/null >/dev/null 2>&1 || true
