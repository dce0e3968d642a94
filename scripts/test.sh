#!/usr/bin/env bash
# test.sh [--arch ARCH]... [ctest arguments...]
# Installs what is missing, builds both architectures (or the ones named) and runs every test
# under Wine. Exits non-zero when any build step or test fails.
set -u
. "$(dirname "$0")/args.sh"
archs=()
while [ "${1:-}" = --arch ]; do
  [ $# -ge 2 ] || { echo "test.sh: --arch needs i686 or x86_64" >&2; exit 2; }
  archs+=("$2"); shift 2
done
[ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
check_archs test.sh "${archs[@]}"
. "$project/scripts/display.sh"
cd "$project"

# As root it installs what is missing; as another user it stops when something is missing.
bash scripts/setup.sh </dev/null || exit 1
start=$(date +%s)
status=0
passed=0
failed=0
log=$(mktemp)
running=""
display_note
# An interrupted run still ends the wineserver it left, and the display it started.
trap 'rm -f "$log"; [ -z "$running" ] || bash scripts/wine-stop.sh "$running"; display_release' EXIT
for arch in "${archs[@]}"; do
  echo "== $arch: build"
  bash scripts/build.sh "$arch" || { echo "== $arch: build failed"; status=1; failed=$((failed + 1)); continue; }
  echo "== $arch: tests"
  running="$build_root/$arch"
  if bash scripts/wine-prep.sh "$running"; then
    # ctest writes to our own output, not into a pipe: a Wine process left behind by a test
    # cannot then keep the run waiting for the pipe to close.
    : >"$log"
    (cd "$running" && ctest --output-on-failure --timeout 300 --output-log "$log" "$@") </dev/null
    rc=$?
    [ "$rc" = 0 ] || status=1
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
echo "$passed passed, $failed failed"
exit $status
