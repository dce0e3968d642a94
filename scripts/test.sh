#!/usr/bin/env bash
# test.sh [--arch ARCH] [ctest arguments...]
# Installs what is missing, builds both architectures (or the one named) and runs every test
# under Wine. Exits non-zero when any build step or test fails.
set -u
cd "$(dirname "$0")/.."
archs=(i686 x86_64)
if [ "${1:-}" = --arch ]; then archs=("$2"); shift 2; fi
root=${BUILD_ROOT:-build}

if [ "$(id -u)" = 0 ]; then bash scripts/setup.sh || exit 1; fi
start=$(date +%s)
status=0
passed=0
failed=0
for arch in "${archs[@]}"; do
  echo "== $arch: build"
  bash scripts/build.sh "$arch" || { echo "== $arch: build failed"; status=1; failed=$((failed + 1)); continue; }
  echo "== $arch: tests"
  bash scripts/wine-prep.sh "$root/$arch"
  log=$(mktemp)
  (cd "$root/$arch" && ctest --output-on-failure --timeout 300 "$@") 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  # ctest's summary: "N% tests passed, F tests failed out of T"
  if summary=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1); then
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    t=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    passed=$((passed + t - f)); failed=$((failed + f))
  fi
  rm -f "$log"
  bash scripts/wine-stop.sh "$root/$arch"
done
echo "== done in $(( $(date +%s) - start )) s"
echo "$passed passed, $failed failed"
exit $status
