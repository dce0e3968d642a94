#!/usr/bin/env bash
# CMake's emulator for the Windows binaries: wine-run.sh PREFIX LOADER PROGRAM [ARGS...]
# The prefix is prepared by wine-prep.sh before ctest starts; this only sets the environment.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINEPREFIX=$1
loader=$2
shift 2
# A 32-bit program on a host that cannot start one gets a plain line, not the exec error.
if [ "$loader" = "$WINE32_LOADER" ] && ! host_runs_32bit; then
  echo "wine-run.sh: $1 not started: it is a 32-bit program, and $(no_32bit_reason)" >&2
  exit 126
fi
# Only Wine gets the Chinese locale; a loader that fails to start reports in the caller's.
exec env LC_ALL="$VANTREL_WINE_LOCALE" "$loader" "$@"
