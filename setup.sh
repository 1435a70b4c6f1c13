#!/usr/bin/env bash
# Installs what is missing, builds Tindral, then starts the game (play), runs every test
# (test), or builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ and runs every test and a short run of each fuzz target there (sanitize), or
# cross-builds the game for 64-bit Windows in build-windows/, runs the Windows suite under Wine
# and packs the zip and the installer (windows).
# Safe to run again: installed packages and a configured build are reused.
# TINDRAL_WARNINGS_AS_ERRORS=ON makes every compiler warning an error (CI sets it).
set -euo pipefail

usage() { echo "usage: $0 play|test|sanitize|windows" >&2; exit 2; }
[ $# -eq 1 ] || usage
mode=$1
case "$mode" in play|test|sanitize|windows) ;; *) usage ;; esac

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$here/build"
warnings=(-DCMAKE_COMPILE_WARNING_AS_ERROR="${TINDRAL_WARNINGS_AS_ERRORS:-OFF}")

build_packages=(cmake g++ make pkg-config libglfw3-dev libglew-dev libglm-dev libassimp-dev
  libdevil-dev libsdl2-mixer-dev libmp3lame-dev libjpeg-dev libpng-dev libcairo2-dev fonts-dejavu-core
  libgl1-mesa-dri)
test_packages=(libgtest-dev libx11-dev xvfb xauth xdotool imagemagick x11-utils mesa-utils sox libsox-fmt-mp3
  desktop-file-utils appstream man-db dpkg-dev file openbox wmctrl clang-format)
sanitize_packages=(clang libclang-rt-14-dev llvm)
# The Windows libraries' recipe lists what building them needs; running and packing the Windows
# build needs Wine, NSIS and zip besides, and its tests read the programs' resources (icoutils).
mapfile -t windows_packages < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$here/dist/windows/packages.txt")
windows_packages+=(wine wine64 nsis zip icoutils)

install_missing() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  # Another install running (a second setup, the desktop's updater) holds apt's lock: wait for
  # it rather than fail.
  local wait=(-o DPkg::Lock::Timeout=900)
  "${sudo[@]}" apt-get "${wait[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${wait[@]}" install -y -qq "${missing[@]}"
}

if [ "$mode" = play ]; then
  install_missing "${build_packages[@]}"
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  cmake --build "$build" -j"$(nproc)"
  cd "$build/run" && exec ./tindral
fi

# The virtual X server must not reset between clients: a game that connects while the server
# regenerates after the previous client left fails to open its display.
run_tests() {
  cd "$1"
  shift
  if [ -n "${DISPLAY:-}" ]; then
    ctest --output-on-failure "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure "$@"
  fi
}

if [ "$mode" = sanitize ]; then
  install_missing "${build_packages[@]}" "${test_packages[@]}" "${sanitize_packages[@]}"
  cmake -S "$here" -B "$here/build-asan" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DTINDRAL_SANITIZE=ON "${warnings[@]}"
  cmake --build "$here/build-asan" -j"$(nproc)"
  run_tests "$here/build-asan"
  exit
fi

if [ "$mode" = windows ]; then
  install_missing "${build_packages[@]}" "${test_packages[@]}" "${windows_packages[@]}"
  # The generators (and the suite's window closer) run here: a native build makes them. Its
  # benchmark plays the levels the Windows build must play alike.
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON "${warnings[@]}"
  cmake --build "$build" -j"$(nproc)" --target artgen soundgen xclose tindral-bench
  # Built once from Debian's sources and kept in the cache folder; later runs reuse them.
  deps=$("$here/dist/windows/build-deps.sh" | tail -n 1)
  windows="$here/build-windows"
  cmake -S "$here" -B "$windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DTINDRAL_WINDOWS_DEPS="$deps" -DTINDRAL_HOST_TOOLS="$build/host-tools.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON "${warnings[@]}"
  cmake --build "$windows" -j"$(nproc)"
  # The suite plays the zip and the installer too.
  (cd "$windows" && cpack -G ZIP && cmake --build . --target installer)
  # Wine now and then ends a program at its start with status 1 and no word, a race of its own
  # that no run here could repeat. A test that fails is run once more, its first output kept
  # in the log; a fault of the game fails both times.
  run_tests "$windows" --repeat until-pass:2
  exit
fi

install_missing "${build_packages[@]}" "${test_packages[@]}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON "${warnings[@]}"
cmake --build "$build" -j"$(nproc)"
run_tests "$build"
