#!/usr/bin/env bash
# CMake's emulator for the Windows binaries: wine-run.sh PREFIX LOADER PROGRAM [ARGS...]
# The prefix is prepared by wine-prep.sh before ctest starts; this only sets the environment.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINEPREFIX=$1
loader=$2
shift 2
export LC_ALL=$VANTREL_WINE_LOCALE
exec "$loader" "$@"
