#!/usr/bin/env bash
# build.sh [ARCH...]: configures and builds the given architectures (i686, x86_64; default:
# both). BUILD_ROOT (default: the project's build folder) holds one tree per architecture;
# TARGETS, when set, names the targets to build instead of all.
set -eu
. "$(dirname "$0")/args.sh"
archs=("$@"); [ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
check_archs build.sh "${archs[@]}"
cd "$project"
for arch in "${archs[@]}"; do
  if [ ! -f "$build_root/$arch/build.ninja" ]; then
    cmake -S . -B "$build_root/$arch" -G Ninja --toolchain "$PWD/cmake/toolchain-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  if [ -n "${TARGETS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build "$build_root/$arch" --target $TARGETS
  else
    cmake --build "$build_root/$arch"
  fi
done
