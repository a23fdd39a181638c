#!/usr/bin/env bash
# The checks CI runs beside the normal build and test; each one runs on its own as well:
#   ./scripts/check.sh core            build and test with Qt Core only (-DTV_GUI=OFF)
#   ./scripts/check.sh sanitize        core tests built with -DTV_SANITIZE=ON (address, undefined)
#   ./scripts/check.sh format [--fix]  clang-format of every C++ file (--fix rewrites them)
#   ./scripts/check.sh tidy [FILE...]  clang-tidy (.clang-tidy) of the given or of every .cpp file
#   ./scripts/check.sh tidy-changed [BASE]  clang-tidy of the .cpp files changed since BASE (main)
#   ./scripts/check.sh all             core, sanitize, format and tidy
# Warnings are errors in every check (-DTV_WERROR=ON). Tidy reads the compile commands of the
# normal build ($BUILD_DIR, else build/), so build that first. Other build folders: build-core/
# and build-sanitize/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
jobs=$(nproc)
cd "$top"

configure_build_test() { # dir, cmake options...
  local dir=$1
  shift
  cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTV_WERROR=ON "$@"
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
}

# Core only: the libraries below the windows, the command line and their tests, linked against Qt
# Core alone, so a Qt Gui or Widgets dependency in those layers fails here.
check_core() {
  echo "== core only (Qt Core, no windows)"
  configure_build_test "$top/build-core" -DTV_GUI=OFF
}

# The core tests under the address and undefined-behaviour sanitizers; any report fails the test.
check_sanitize() {
  echo "== sanitizers (address, undefined) on the core tests"
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    configure_build_test "$top/build-sanitize" -DTV_GUI=OFF -DTV_SANITIZE=ON
}

check_format() {
  echo "== clang-format"
  if [ "${1:-}" = "--fix" ]; then
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i
  else
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
  fi
}

# clang-tidy of the given .cpp files, those of them the build compiles.
run_tidy() {
  if [ ! -f "$build/compile_commands.json" ]; then
    echo "No $build/compile_commands.json: build first (./scripts/build.sh test)." >&2
    exit 2
  fi
  local files=()
  for f in "$@"; do
    [[ $f == *.cpp ]] && grep -q "\"file\": \".*/$f\"" "$build/compile_commands.json" && files+=("$f")
  done
  echo "== clang-tidy: ${#files[@]} files"
  [ ${#files[@]} -gt 0 ] || return 0
  printf '%s\0' "${files[@]}" | xargs -0 -n 4 -P "$jobs" clang-tidy -p "$build" --quiet
}

check_tidy() {
  if [ $# -gt 0 ]; then
    run_tidy "$@"
  else
    mapfile -t all < <(git ls-files '*.cpp')
    run_tidy "${all[@]}"
  fi
}

check_tidy_changed() {
  local base=${1:-main}
  mapfile -t changed < <(git diff --name-only --diff-filter=AM "$(git merge-base "$base" HEAD)" -- '*.cpp')
  run_tidy "${changed[@]}"
}

timed() { # name, command...
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}

what=${1:-all}
[ $# -gt 0 ] && shift
case "$what" in
  core) check_core ;;
  sanitize) check_sanitize ;;
  format) check_format "$@" ;;
  tidy) check_tidy "$@" ;;
  tidy-changed) check_tidy_changed "$@" ;;
  all)
    timed format check_format
    timed tidy check_tidy
    timed core check_core
    timed sanitize check_sanitize
    ;;
  *)
    sed -n '2,11p' "$0" >&2
    exit 2
    ;;
esac
