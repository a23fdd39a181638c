#!/usr/bin/env bash
# The checks CI runs beside the normal build and test; each one runs on its own as well:
#   ./scripts/check.sh core            build and test with Qt Core only (-DTV_GUI=OFF)
#   ./scripts/check.sh sanitize        every test built with -DTV_SANITIZE=ON (address, undefined)
#   ./scripts/check.sh fuzz            the Paradox reader under libFuzzer (clang) for 60 s
#   ./scripts/check.sh format [--fix]  clang-format of every C++ file (--fix rewrites them)
#   ./scripts/check.sh tidy [FILE...]  clang-tidy (.clang-tidy) of the given or of every .cpp file
#   ./scripts/check.sh tidy-changed [BASE]  clang-tidy of the .cpp files changed since BASE (main)
#   ./scripts/check.sh all             format, tidy, core, sanitize and fuzz
# Warnings are errors in every check (-DTV_WERROR=ON). Tidy reads the compile commands of the
# normal build ($BUILD_DIR, else build/), so build that first. Other build folders: build-core/,
# build-sanitize/ and build-fuzz/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
jobs=$(nproc)
cd "$top"

configure_build_test() { # dir, cmake options... [-- ctest options...]
  local dir=$1
  shift
  local options=() tests=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    options+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift && tests=("$@")
  cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTV_WERROR=ON "${options[@]}"
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" "${tests[@]}")
}

# Core only: the libraries below the windows, the command line and their tests, linked against Qt
# Core alone, so a Qt Gui or Widgets dependency in those layers fails here.
check_core() {
  echo "== core only (Qt Core, no windows)"
  configure_build_test "$top/build-core" -DTV_GUI=OFF
}

# Every test, the windows' included, under the address and undefined-behaviour sanitizers; any
# report fails the test. The package test builds a Debian package and runs no program code, so
# it is left to the normal build.
check_sanitize() {
  echo "== sanitizers (address, undefined) on every test"
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$top/scripts/lsan.supp} \
    configure_build_test "$top/build-sanitize" -DTV_SANITIZE=ON -DTV_BENCH=OFF -- -LE package
}

# The Paradox reader under libFuzzer with the address and undefined-behaviour sanitizers, for a
# fixed time over the seeds the test writer makes; a crash or report fails the check and leaves
# the input in build-fuzz/ (crash-*), to be replayed with build-fuzz/tests/fuzz/paradox_fuzz FILE.
check_fuzz() {
  local dir=$top/build-fuzz seconds=${TV_FUZZ_SECONDS:-60}
  echo "== fuzz: the Paradox reader for $seconds s"
  cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTV_WERROR=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DTV_GUI=OFF -DBUILD_TESTING=OFF -DTV_FUZZ=ON
  cmake --build "$dir" -j"$jobs" --target paradox_fuzz paradox_seeds
  rm -rf "$dir/seeds" "$dir/corpus"
  mkdir -p "$dir/corpus"
  "$dir/tests/fuzz/paradox_seeds" "$dir/seeds"
  (cd "$dir" && UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ./tests/fuzz/paradox_fuzz -max_total_time="$seconds" -max_len=20000 -seed=1 \
    -print_final_stats=1 corpus seeds)
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
  fuzz) check_fuzz ;;
  format) check_format "$@" ;;
  tidy) check_tidy "$@" ;;
  tidy-changed) check_tidy_changed "$@" ;;
  all)
    timed format check_format
    timed tidy check_tidy
    timed core check_core
    timed sanitize check_sanitize
    timed fuzz check_fuzz
    ;;
  *)
    sed -n '2,12p' "$0" >&2
    exit 2
    ;;
esac
