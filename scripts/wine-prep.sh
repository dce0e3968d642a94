#!/usr/bin/env bash
# wine-prep.sh BUILD_DIR: a display, and the build tree's Wine prefix made and its services
# started outside ctest (services started inside ctest hold its output pipe open).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
build=$(cd "$1" && pwd)
export WINEPREFIX=$build/wineprefix

# A display first: services started without one make every later window fail.
num=$VANTREL_DISPLAY_NUM
# A server that died leaves its lock and socket behind; they would stop a new one from starting.
if [ -f "/tmp/.X$num-lock" ] && [ ! -d "/proc/$(tr -dc 0-9 <"/tmp/.X$num-lock")" ]; then
  rm -f "/tmp/.X$num-lock" "/tmp/.X11-unix/X$num"
fi
if [ ! -e "/tmp/.X11-unix/X$num" ]; then
  setsid Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$num" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$num" ] || { echo "wine-prep: no display :$num" >&2; exit 1; }
fi

export LC_ALL=$VANTREL_WINE_LOCALE
if [ ! -f "$WINEPREFIX/.vantrel-ready" ]; then
  rm -rf "$WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w
  touch "$WINEPREFIX/.vantrel-ready"
fi
# A persistent server and the services, started here so the tests find them running.
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
