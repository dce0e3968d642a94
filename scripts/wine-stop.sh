#!/usr/bin/env bash
# wine-stop.sh BUILD_DIR: ends the build tree's wineserver and everything it still runs.
set -u
build=$(cd "$1" && pwd)
WINEPREFIX=$build/wineprefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
