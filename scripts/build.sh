#!/usr/bin/env bash
# Installs what is missing (Debian 12), configures and builds, then starts the program ("run"),
# runs the whole test suite offscreen ("test") or builds the Debian package ("package":
# build/pTavelon_<version>_amd64.deb). Quick when nothing changed. Options in $TV_CMAKE_ARGS (for
# example "-DTV_WERROR=ON") are passed to a new or the existing configuration.
set -euo pipefail
mode=${1:-run}
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}

packages=(g++ cmake make qt6-base-dev qt6-base-dev-tools libgl-dev libsqlite3-dev sqlite3
          googletest libgtest-dev libbenchmark-dev fonts-ipafont-mincho fonts-ipafont-gothic
          xvfb xauth poppler-utils unzip libxlsxwriter-dev
          qt6-translations-l10n qt6-qpa-plugins dpkg-dev
          desktop-file-utils lintian clang-format clang-tidy clang libclang-rt-14-dev
          libpq-dev postgresql)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

if [ ! -f "$build/CMakeCache.txt" ] || [ -n "${TV_CMAKE_ARGS:-}" ]; then
  # shellcheck disable=SC2086 # the options are words
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${TV_CMAKE_ARGS:-}
fi
cmake --build "$build" -j"$(nproc)"

case "$mode" in
  run)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display: starting the program in a virtual X server (xvfb-run)."
      exec xvfb-run -a "$build/pTavelon"
    fi
    exec "$build/pTavelon"
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    cd "$build"
    exec ctest --output-on-failure -j"$(nproc)"
    ;;
  package)
    cd "$build"
    cpack -G DEB
    ls -1 "$build"/pTavelon_*_amd64.deb
    ;;
  *)
    echo "usage: $0 [run|test|package]" >&2
    exit 2
    ;;
esac
