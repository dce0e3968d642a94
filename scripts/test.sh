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
for arch in "${archs[@]}"; do
  echo "== $arch: build"
  bash scripts/build.sh "$arch" || { status=1; continue; }
  echo "== $arch: tests"
  bash scripts/wine-prep.sh "$root/$arch"
  (cd "$root/$arch" && ctest --output-on-failure --timeout 300 "$@") || status=1
  bash scripts/wine-stop.sh "$root/$arch"
done
echo "== done in $(( $(date +%s) - start )) s, status $status"
exit $status
