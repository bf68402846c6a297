#!/usr/bin/env bash
# Set-up, build and run on a Debian machine.
#   ./dev.sh play [game options]   install what is missing, build a release build, start the game
#   ./dev.sh test                  install what is missing, build, run the whole test suite
#   ./dev.sh build                 install what is missing and build
#   ./dev.sh package               install what is missing, build the Debian package and the source tarball
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build pkg-config libsdl2-dev nlohmann-json3-dev liblodepng-dev
          libgtest-dev libgmock-dev libbenchmark-dev)
BUILD_DIR=${GROVANTA_BUILD_DIR:-build}

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# The package is built in a folder of its own, without the tests, benchmarks and data tools.
package() {
  local dir=${GROVANTA_PACKAGE_DIR:-build-package}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGROVANTA_TESTS=OFF -DGROVANTA_BENCH=OFF \
        -DGROVANTA_TOOLS=OFF >/dev/null
  cmake --build "$dir" -j "$(nproc)"
  (cd "$dir" && cpack -G DEB && cpack --config CPackSourceConfig.cmake)
  ls -l "$dir"/grovanta_*.deb "$dir"/grovanta-*.tar.gz
}

cmd=${1:-play}
shift || true
case "$cmd" in
  play)  install_packages; build; exec "$BUILD_DIR/grovanta" "$@" ;;
  test)  install_packages; build
         cd "$BUILD_DIR"
         ctest --output-on-failure -j "$(nproc)" --timeout 600 "$@" ;;
  build) install_packages; build ;;
  package) install_packages; package ;;
  *) echo "usage: $0 play|test|build|package [args]" >&2; exit 2 ;;
esac
