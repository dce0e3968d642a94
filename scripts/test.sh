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
# The trees whose tests run; the i686 one only where 32-bit programs start.
tested=()
for arch in "${archs[@]}"; do
  [ "$arch" = i686 ] && ! $run32 || tested+=("$arch")
done
log=$(mktemp)
preps=$(mktemp -d)
prep_pid=""
display_note
# An interrupted run still ends the prefix set-up, the wineservers and the display it started.
trap '[ -z "$prep_pid" ] || kill -- -"$prep_pid" 2>/dev/null
  for arch in "${tested[@]}"; do bash scripts/wine-stop.sh "$build_root/$arch"; done
  rm -rf "$log" "$preps"; display_release' EXIT

# Each tested tree's Wine prefix is made while the trees build: Wine's set-up takes about a
# minute a tree and mostly waits. One tree after the other, so only the first starts the
# display; in a process group of its own, so an interrupt ends all of it.
if [ ${#tested[@]} -gt 0 ]; then
  setsid bash -c 'for tree; do
      mkdir -p "$tree" && bash scripts/wine-prep.sh "$tree" >"$0/${tree##*/}.log" 2>&1 &&
        touch "$0/${tree##*/}.ready"
    done' "$preps" "${tested[@]/#/$build_root/}" </dev/null &
  prep_pid=$!
fi

built=()
for arch in "${archs[@]}"; do
  echo "== $arch: build"
  if bash scripts/build.sh "$arch"; then
    built+=("$arch")
  else
    echo "== $arch: build failed"; status=1; failed=$((failed + 1))
  fi
done
[ -z "$prep_pid" ] || wait "$prep_pid"
prep_pid=""

skipped32=false
ran64=false
for arch in "${built[@]}"; do
  if [ "$arch" = i686 ] && ! $run32; then
    echo "== $arch: built; its tests are not run (see the end)"
    skipped32=true
    continue
  fi
  echo "== $arch: tests"
  tree="$build_root/$arch"
  if [ -f "$preps/$arch.ready" ]; then
    # ctest writes to our own output, not into a pipe: a Wine process left behind by a test
    # cannot then keep the run waiting for the pipe to close.
    : >"$log"
    (cd "$tree" && ctest --output-on-failure --timeout 300 --output-log "$log" "$@") </dev/null
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
    cat "$preps/$arch.log" 2>/dev/null
    echo "== $arch: the Wine prefix or the display could not be prepared"
    status=1; failed=$((failed + 1))
  fi
  bash scripts/wine-stop.sh "$tree"
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
