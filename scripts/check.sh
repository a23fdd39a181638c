#!/usr/bin/env bash
# The checks CI runs beside the normal build and test; each one runs on its own as well:
#   ./scripts/check.sh core            build and test with Qt Core only (-DTV_GUI=OFF)
#   ./scripts/check.sh sanitize        every test built with -DTV_SANITIZE=ON (address, undefined)
#   ./scripts/check.sh fuzz            the Paradox reader under libFuzzer (clang) for 60 s
#   ./scripts/check.sh format [--fix]  clang-format of every C++ file (--fix rewrites them)
#   ./scripts/check.sh tidy [FILE...]  clang-tidy (.clang-tidy) of the given or of every .cpp file
#   ./scripts/check.sh tidy-changed [BASE]  clang-tidy of the .cpp files changed since BASE (main)
#   ./scripts/check.sh all             format, tidy, core, sanitize and fuzz
#   ./scripts/check.sh mutate [LIST]   plants the faults of scripts/mutations.txt (or LIST) one at
#                                      a time and prints how many the core tests catch (not "all")
# Warnings are errors in every check (-DTV_WERROR=ON) but mutate. Tidy reads the compile commands
# of the normal build ($BUILD_DIR, else build/), so build that first. Other build folders:
# build-core/, build-sanitize/, build-fuzz/ and build-mutate/.
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

# Mutation check: each entry of scripts/mutations.txt (file, exact old text, new text) is planted
# alone in an incremental core-only build (build-mutate/), core_tests runs, and the file gets its
# own bytes back, also on Ctrl+C. A fault the tests catch fails them (or crashes or hangs them);
# one that leaves them green survives. Entries whose old text is not found exactly once, and
# faults that do not compile, are reported apart and do not count.
check_mutate() {
  local list=${1:-$top/scripts/mutations.txt} dir="$top/build-mutate"
  local saved="$dir/mutate-original" restore_path="" limit=0
  shopt -u patsub_replacement 2>/dev/null || true # '&' in a new text is just '&'
  mkdir -p "$dir"
  restore() {
    if [ -n "${restore_path:-}" ]; then
      cat "$saved" >"$restore_path" # rewritten, not copied back: the next build sees it changed
      restore_path=""
    fi
  }
  trap 'restore; exit 130' INT TERM
  trap restore EXIT
  build() { cmake --build "$dir" -j"$jobs" --target core_tests >"$dir/mutate-build.log" 2>&1; }
  run_tests() {
    (cd "$dir/tests" && QT_QPA_PLATFORM=offscreen timeout "$limit" ./core_tests \
      --gtest_fail_fast --gtest_brief=1 >"$dir/mutate-test.log" 2>&1)
  }

  local files=() olds=() news=() where=() n=0 line key value
  while IFS= read -r line || [ -n "$line" ]; do
    n=$((n + 1))
    [[ -z $line || $line == \#* ]] && continue
    key=${line%%: *}
    value=${line#*: }
    case "$key" in
      file) files+=("$value") && where+=("$n") ;;
      old) olds+=("$value") ;;
      new) news+=("$value") ;;
      *) echo "$list:$n: neither file:, old: nor new: $line" >&2 && return 2 ;;
    esac
    if [ ${#olds[@]} -gt ${#files[@]} ] || [ ${#news[@]} -gt ${#olds[@]} ]; then
      echo "$list:$n: an entry is file:, old:, new: in this order" >&2
      return 2
    fi
  done <"$list"
  if [ ${#files[@]} -ne ${#news[@]} ]; then
    echo "$list: the last entry is incomplete" >&2
    return 2
  fi

  echo "== mutate: the core as it is (build-mutate/)"
  cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTV_GUI=OFF >/dev/null
  if ! build; then
    echo "The core does not build; see $dir/mutate-build.log" >&2
    return 1
  fi
  local start=$SECONDS
  limit=3600
  if ! run_tests; then
    echo "core_tests fail without any fault; see $dir/mutate-test.log" >&2
    return 1
  fi
  limit=$((3 * (SECONDS - start) + 60))

  local total=${#files[@]} caught=0 i path content rest count result
  local survivors=() unplaced=() uncompiled=()
  for ((i = 0; i < total; i++)); do
    local entry="${files[i]}: ${olds[i]}  ->  ${news[i]}"
    path="$top/${files[i]}"
    count=0
    if [ -f "$path" ] && [ -n "${olds[i]}" ]; then
      content=$(cat "$path" && printf x)
      content=${content%x}
      rest=${content//"${olds[i]}"/}
      count=$(((${#content} - ${#rest}) / ${#olds[i]}))
    fi
    if [ "$count" -ne 1 ]; then
      result="NOT PLACED (old text found $count times; entry at line ${where[i]})"
      unplaced+=("$entry (line ${where[i]}, found $count times)")
    else
      cp "$path" "$saved"
      restore_path=$path
      printf '%s' "${content/"${olds[i]}"/"${news[i]}"}" >"$path"
      if ! build; then
        result="does not compile"
        uncompiled+=("$entry")
      elif run_tests; then
        result="SURVIVED"
        survivors+=("$entry")
      else
        result="caught"
        caught=$((caught + 1))
      fi
      restore
    fi
    printf '[%d/%d] %-9s %s\n' $((i + 1)) "$total" "$result" "$entry"
  done

  local counted=$((caught + ${#survivors[@]}))
  echo "== mutate: $caught of $counted faults caught ($((counted ? 100 * caught / counted : 0)) %)"
  [ ${#survivors[@]} -eq 0 ] || printf 'survived: %s\n' "${survivors[@]}"
  [ ${#uncompiled[@]} -eq 0 ] || printf 'does not compile (not counted): %s\n' "${uncompiled[@]}"
  [ ${#unplaced[@]} -eq 0 ] || printf 'not placed (update the entry): %s\n' "${unplaced[@]}"
  [ ${#unplaced[@]} -eq 0 ] && [ $((100 * caught)) -ge $((90 * counted)) ]
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
  mutate) check_mutate "$@" ;;
  all)
    timed format check_format
    timed tidy check_tidy
    timed core check_core
    timed sanitize check_sanitize
    timed fuzz check_fuzz
    ;;
  *)
    sed -n '2,15p' "$0" >&2
    exit 2
    ;;
esac
