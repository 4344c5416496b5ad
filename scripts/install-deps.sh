#!/usr/bin/env bash
# Installs the Debian packages that the build, the demo and the tests need, and only those
# that are missing. As root it runs apt-get itself; otherwise it prints the one line to run.
set -euo pipefail

packages=(
  # build
  g++ cmake make pkg-config git ca-certificates binutils file clang-format
  # core: D-Bus client library, unit tests, benchmarks
  libsystemd-dev libgtest-dev libgmock-dev libbenchmark-dev
  # the dialog
  qtbase5-dev qtbase5-dev-tools
  # a real player and its private bus
  dbus-daemon mpv mpv-mpris
  # hardening
  clang libclang-rt-14-dev valgrind util-linux
  # the 32-bit Windows build and its Wine run, the installer package
  g++-mingw-w64-i686 wine wine32:i386 xvfb xauth zip unzip
)

need_i386=0
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
    [[ $p == *:i386 ]] && need_i386=1
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "missing Debian packages; as root run:" >&2
  [ $need_i386 -eq 1 ] && echo "  dpkg --add-architecture i386 && apt-get update" >&2
  echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

echo "installing: ${missing[*]}"
if [ $need_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
