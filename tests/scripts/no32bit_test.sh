#!/bin/bash
# no32bit_test.sh PROJECT: the scripts as on a host that starts no 32-bit programs, which
# VANTREL_RUN_32BIT=0 makes of any host. Every refusal is a plain line with its exit code, comes
# before anything is built, and no 32-bit program is started (no exec error reaches the user).
set -u
project=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/build"
# The headers of a 32-bit Windows DLL: "MZ", the PE header's offset (64) at 60, "PE\0\0", i386.
printf 'MZ%58s\x40\x00\x00\x00PE\x00\x00\x4c\x01' '' >"$scratch/x86.dll"
failures=0

# expect NAME CODE TEXT COMMAND...: COMMAND must exit with CODE and print TEXT.
expect() {
  local name=$1 code=$2 text=$3 out rc
  shift 3
  out=$(cd "$scratch" && VANTREL_RUN_32BIT=0 BUILD_ROOT="$scratch/build" "$@" 2>&1 </dev/null)
  rc=$?
  if [ "$rc" != "$code" ] || [[ $out != *"$text"* ]] || [[ $out == *"format error"* ]]; then
    echo "FAIL $name: exit $rc, wanted $code and \"$text\":"
    echo "$out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

s=$project/scripts
expect "test.sh --arch i686" 2 "the i686 tests cannot run here" bash "$s/test.sh" --arch i686
expect "bench.sh i686" 2 "the i686 benchmark cannot run here" bash "$s/bench.sh" i686
expect "demo.sh with a 32-bit DLL" 2 "x86.dll is a 32-bit build" bash "$s/demo.sh" x86.dll
expect "demo.sh with no DLL" 2 "is no 32-bit or 64-bit Windows DLL" bash "$s/demo.sh" "$s/demo.sh"
expect "a 32-bit program run" 126 "x86.exe not started: it is a 32-bit program" \
  bash "$s/wine-run.sh" "$scratch/prefix" /usr/lib/wine/wine "$scratch/x86.exe"
expect "VANTREL_RUN_32BIT=yes" 2 "VANTREL_RUN_32BIT must be 0" \
  env VANTREL_RUN_32BIT=yes bash "$s/demo.sh"
if [ -n "$(ls -A "$scratch/build")" ] || [ -e "$scratch/prefix" ]; then
  echo "FAIL: something was built or a prefix made: $(ls -A "$scratch/build" "$scratch")"
  failures=$((failures + 1))
fi
[ "$failures" = 0 ]
