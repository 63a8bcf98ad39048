#!/usr/bin/env bash
# Installs what this machine lacks, builds, and then either starts the program
# ("run") or runs the whole test suite ("test"). Works as root or through sudo
# on a fresh Debian 12 machine.
set -euo pipefail
mode=${1:-}
case "$mode" in run|test) ;; *) echo "usage: $0 run|test" >&2; exit 2;; esac
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/lib/install-packages.sh"

packages=(cmake g++ make qt6-base-dev qt6-qpa-plugins qt6-translations-l10n fonts-arphic-uming)
if [ "$mode" = test ]; then
  packages+=(libgtest-dev libbenchmark-dev libgeographiclib-dev proj-bin locales xvfb xdotool xclip)
fi
install_packages "${packages[@]}"

jobs=$(nproc)
if [ "$mode" = run ]; then
  cmake -S "$top" -B "$top/build-release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  # Everything "cmake --install build-release" puts in place, not the window alone.
  cmake --build "$top/build-release" -j "$jobs"
  exec "$top/build-release/ui/kartovel"
else
  cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
  cmake --build "$top/build" -j "$jobs"
  cd "$top/build"
  exec ctest --output-on-failure -j "$jobs"
fi
