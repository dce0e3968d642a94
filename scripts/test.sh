#!/usr/bin/env bash
# test.sh [--arch ARCH]... [ctest arguments...]
# Installs what is missing, builds both architectures (or the ones named) and runs every test
# under Wine. Exits non-zero when any build step or test fails. On a host that cannot start
# 32-bit programs (or with VANTREL_RUN_32BIT=0) the i686 tree is built but its tests are not
# run: the x86_64 tree runs the same sources as 64-bit code.
set -u
. "$(dirname "$0")/args.sh"
archs=()
named=false
while [ "${1:-}" = --arch ]; do
  [ $# -ge 2 ] || { echo "test.sh: --arch needs i686 or x86_64" >&2; exit 2; }
  archs+=("$2"); named=true; shift 2
done
[ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
check_archs test.sh "${archs[@]}"
. "$project/scripts/display.sh"
cd "$project"

# As root it installs what is missing; as another user it stops when something is missing.
bash scripts/setup.sh </dev/null || exit 1
run32=true
if ! host_runs_32bit; then
  run32=false
  if $named && [[ " ${archs[*]} " == *" i686 "* ]]; then
    echo "test.sh: the i686 tests cannot run here: $(no_32bit_reason). Their sources run as 64-bit code with --arch x86_64." >&2
    exit 2
  fi
fi
start=$(date +%s)
status=0
passed=0
failed=0
skipped32=false
ran64=false
log=$(mktemp)
running=""
display_note
# An interrupted run still ends the wineserver it left, and the display it started.
trap 'rm -f "$log"; [ -z "$running" ] || bash scripts/wine-stop.sh "$running"; display_release' EXIT
for arch in "${archs[@]}"; do
  echo "== $arch: build"
  bash scripts/build.sh "$arch" || { echo "== $arch: build failed"; status=1; failed=$((failed + 1)); continue; }
  if [ "$arch" = i686 ] && ! $run32; then
    echo "== $arch: built; its tests are not run (see the end)"
    skipped32=true
    continue
  fi
  echo "== $arch: tests"
  running="$build_root/$arch"
  if bash scripts/wine-prep.sh "$running"; then
    # ctest writes to our own output, not into a pipe: a Wine process left behind by a test
    # cannot then keep the run waiting for the pipe to close.
    : >"$log"
    (cd "$running" && ctest --output-on-failure --timeout 300 --output-log "$log" "$@") </dev/null
    rc=$?
    [ "$rc" = 0 ] || status=1
    [ "$arch" != x86_64 ] || ran64=true
    # ctest's summary: "N% tests passed, F tests failed out of T"
    if summary=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1); then
      f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
      t=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$summary")
      passed=$((passed + t - f)); failed=$((failed + f))
    elif [ "$rc" != 0 ]; then
      failed=$((failed + 1))
    fi
  else
    echo "== $arch: the Wine prefix or the display could not be prepared"
    status=1; failed=$((failed + 1))
  fi
  bash scripts/wine-stop.sh "$running"
  running=""
done
echo "== done in $(( $(date +%s) - start )) s"
if $skipped32; then
  if $ran64; then
    echo "The i686 tests were not run: $(no_32bit_reason). The same sources ran as 64-bit code in the x86_64 tree."
  else
    echo "The i686 tests were not run: $(no_32bit_reason). The x86_64 tree, which runs the same sources as 64-bit code, did not run either."
  fi
fi
echo "$passed passed, $failed failed"
exit $status
