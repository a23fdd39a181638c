#!/usr/bin/env bash
# The checks CI runs beside the normal build and test, runnable one by one on a developer machine:
#   ./scripts/check.sh core      configure, build and test with Qt Core only (-DTV_GUI=OFF)
#   ./scripts/check.sh all       every check
# Build folders: build-core/ ($CORE_BUILD_DIR overrides it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
core_build=${CORE_BUILD_DIR:-$top/build-core}
jobs=$(nproc)

# Core only: the libraries below the windows, the command line and their tests, linked against Qt
# Core alone, so a Qt Gui or Widgets dependency in those layers fails here.
check_core() {
  echo "== core only (Qt Core, no windows)"
  cmake -S "$top" -B "$core_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTV_GUI=OFF
  cmake --build "$core_build" -j"$jobs"
  (cd "$core_build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
}

case "${1:-all}" in
  core) check_core ;;
  all) check_core ;;
  *)
    echo "usage: $0 [core|all]" >&2
    exit 2
    ;;
esac
