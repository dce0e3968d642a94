#!/usr/bin/env bash
# build.sh [ARCH...]: configures and builds the given architectures (default: both).
# BUILD_ROOT (default: build) holds one tree per architecture; TARGETS, when set, names the
# targets to build instead of all.
set -eu
cd "$(dirname "$0")/.."
root=${BUILD_ROOT:-build}
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
for arch in "${archs[@]}"; do
  if [ ! -f "$root/$arch/build.ninja" ]; then
    cmake -S . -B "$root/$arch" -G Ninja --toolchain "$PWD/cmake/toolchain-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  if [ -n "${TARGETS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build "$root/$arch" --target $TARGETS
  else
    cmake --build "$root/$arch"
  fi
done
