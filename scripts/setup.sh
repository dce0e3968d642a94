#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, as root. Idempotent: a second run
# that finds everything present only checks and returns.
set -euo pipefail

need=()
# Whole outputs are compared, not piped into grep -q: with pipefail, a writer cut off by grep's
# early exit would make a present package look missing.
have() { [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = 'install ok installed' ]; }

packages=(
  cmake ninja-build
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 fonts-wine
  xvfb x11-apps imagemagick fonts-wqy-microhei locales
  googletest binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
)
for p in "${packages[@]}"; do have "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "setup: missing packages (${need[*]}); run as root" >&2
    exit 1
  fi
  if ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${need[@]}" \
    libgl1:i386 libx11-6:i386 libxext6:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 \
    libxcursor1:i386 libxinerama1:i386 libxcomposite1:i386 libfreetype6:i386 libfontconfig1:i386 \
    libgnutls30:i386 libxfixes3:i386 libxxf86vm1:i386 \
    libgl1 libx11-6 libxext6 libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1 \
    libfreetype6 libfontconfig1 libxfixes3 libxxf86vm1
fi

# A Chinese UTF-8 locale so Wine uses code page 936 for the control panel's strings.
if ! grep -qix 'zh_CN.utf8' <<<"$(locale -a 2>/dev/null)"; then
  if [ "$(id -u)" = 0 ]; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen 2>/dev/null || true
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
fi
echo "setup: all packages present"
