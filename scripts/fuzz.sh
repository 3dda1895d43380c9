#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz, and runs them.
#
#   scripts/fuzz.sh --corpus-only [target...]   every input of the seed corpora once (make test)
#   scripts/fuzz.sh --seconds N [target...]     a search of N seconds per target (make fuzz)
#
# The targets are markup, number_text, picture and drawing; without names, all of them run, one
# after the other. The seed corpora in tests/fuzz/corpus/<target> are only read. A timed search keeps
# what it finds in build-fuzz/found/<target> and goes on from there the next time; to take new
# seeds into the checked-in corpus, merge them by hand so that only inputs that add coverage
# are kept:
#   build-fuzz/fuzz_<target> -merge=1 tests/fuzz/corpus/<target> build-fuzz/found/<target>
# A crash, sanitizer report, leak, timeout or excess of memory ends that target's run, leaves
# the input that caused it in build-fuzz/artifacts/<target>/ and fails the script once the
# other targets have run. To run one such input again:
#   build-fuzz/fuzz_<target> build-fuzz/artifacts/<target>/crash-...
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
corpora="$root/tests/fuzz/corpus"
jobs="$(nproc 2>/dev/null || echo 2)"
all_targets=(markup number_text picture drawing)

usage() {
  echo "usage: $0 --corpus-only | --seconds N  [target...]" >&2
  exit 2
}

mode=""
seconds=0
case "${1:-}" in
  --corpus-only) mode=corpus; shift ;;
  --seconds)
    mode=search
    seconds="${2:-}"
    [[ "$seconds" =~ ^[1-9][0-9]*$ ]] || usage
    shift 2
    ;;
  *) usage ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
for target in "${targets[@]}"; do
  [ -d "$corpora/$target" ] || { echo "no such fuzz target: $target" >&2; usage; }
done

"$root/scripts/install-deps.sh" fuzz
# The clang that the release installs, whatever its version.
clang="$(command -v clang++ || true)"
[ -n "$clang" ] || { echo "clang++ is not installed" >&2; exit 1; }
"$root/scripts/configure.sh" "$build" -S "$root/tests/fuzz" -DCMAKE_CXX_COMPILER="$clang" >/dev/null
cmake --build "$build" -j "$jobs" >/dev/null

# The loader keeps no picture above 1 GiB. Picture memory is mapped rather than allocated with
# malloc, so only the resident limit sees it: the picture target may hold that bound more than it
# holds idle, measured here on the empty input. No single allocation may come near 1100 MB. The
# picture target may decode up to the bound, which takes a few seconds under the sanitizers.
bound_mb=1024
idle_mb() {
  local empty
  empty="$(mktemp -d)"
  "$build/fuzz_$1" -runs=0 -print_final_stats=1 "$empty" 2>&1 | sed -n 's/^stat::peak_rss_mb: *//p' | tail -n 1
  rmdir "$empty"
}
common_options=(-malloc_limit_mb=1100 -print_final_stats=1)
target_options() {
  case "$1" in
    picture)
      local idle
      idle="$(idle_mb picture)"
      echo "-timeout=60 -max_len=8192 -rss_limit_mb=$((bound_mb + ${idle:?unknown}))"
      ;;
    *) echo "-timeout=10 -rss_limit_mb=2048" ;;
  esac
}

# Pictures made for the loader's own tests are seeds as well, when they are there.
extra_seeds() {
  if [ "$1" = picture ] && [ -d "$root/tests/data/bad" ]; then
    echo "$root/tests/data/bad"
  fi
}

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

stat_of() {
  sed -n "s/^stat::$1: *//p" "$2" | tail -n 1
}

failed=()
summary=()
for target in "${targets[@]}"; do
  log="$build/logs/$target.log"
  artifacts="$build/artifacts/$target"
  mkdir -p "$build/logs" "$artifacts"
  # shellcheck disable=SC2046 # the options are words by design
  arguments=("${common_options[@]}" $(target_options "$target") "-artifact_prefix=$artifacts/")
  if [ "$mode" = corpus ]; then
    arguments+=(-runs=0)
    dirs=("$corpora/$target")
  else
    found="$build/found/$target"
    mkdir -p "$found"
    arguments+=("-max_total_time=$seconds")
    # New inputs go into the first folder only.
    dirs=("$found" "$corpora/$target")
  fi
  # shellcheck disable=SC2207
  dirs+=($(extra_seeds "$target"))

  echo "== fuzz_$target, resident memory up to $(printf '%s\n' "${arguments[@]}" | sed -n 's/^-rss_limit_mb=//p') MB"
  status=0
  started=$(date +%s%N)
  "$build/fuzz_$target" "${arguments[@]}" "${dirs[@]}" >"$log" 2>&1 || status=$?
  hundredths=$((($(date +%s%N) - started) / 10000000))

  runs="$(stat_of number_of_executed_units "$log")"
  speed="$(stat_of average_exec_per_sec "$log")"
  added="$(stat_of new_units_added "$log")"
  rss="$(stat_of peak_rss_mb "$log")"
  if [ "$status" -eq 0 ]; then
    result=ok
  else
    result="FAILED ($(grep -m 1 -oE '(ERROR|SUMMARY): [A-Za-z]+: .*' "$log" || echo "exit $status"))"
    failed+=("$target")
    echo "---- last lines of $log"
    tail -n 40 "$log"
    echo "---- the input is in $artifacts/"
  fi
  summary+=("$(printf '%-12s %10s runs in %5d.%02d s %8s exec/s %6s new %6s MB peak  %s' \
    "$target" "${runs:-?}" $((hundredths / 100)) $((hundredths % 100)) "${speed:-?}" "${added:-?}" "${rss:-?}" "$result")")
done

echo
if [ "$mode" = corpus ]; then
  echo "Fuzzing summary, every seed once:"
else
  echo "Fuzzing summary, a search of ${seconds} s per target:"
fi
printf '  %s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
