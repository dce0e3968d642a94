# Sourced by the scripts before they change folder: relative paths on their command lines and
# in BUILD_ROOT are the caller's, and arguments are checked before anything is installed or
# built.
project=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# One tree per architecture below it; made absolute once, so the scripts it calls agree.
build_root=$(realpath -m "${BUILD_ROOT:-$project/build}")
export BUILD_ROOT=$build_root

# check_archs SCRIPT ARCH...: exits with 2 at the first name that is no architecture.
check_archs() {
  local script=$1 arch
  shift
  for arch in "$@"; do
    case $arch in
      i686 | x86_64) ;;
      *) echo "$script: no architecture '$arch': the architectures are i686 and x86_64" >&2
         exit 2 ;;
    esac
  done
}
