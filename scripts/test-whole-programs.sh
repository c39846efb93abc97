#!/usr/bin/env bash
# Runs every test program of the build whole, once each, in shuffled order: a test that passes
# only when run alone (as ctest runs it) or only in one order fails here.
#   scripts/test-whole-programs.sh [SEED]   (default: a seed from the clock, printed)
# Up to JOBS programs (default 4) run at a time; the failing programs' output is printed.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
seed=${1:-$(( $(date +%s) % 99999 + 1 ))}
jobs=${JOBS:-4}
logs=$(mktemp -d "${TMPDIR:-/tmp}/zeltra_whole_programs.XXXXXX")
trap 'rm -rf "$logs"' EXIT
export QT_QPA_PLATFORM=offscreen PGPLOT_DIR="$build/bin/"

mapfile -t programs < <(find "$build/bin" -maxdepth 1 -type f -name '*_test' -perm -u+x | sort)
if [[ ${#programs[@]} -eq 0 ]]; then
  echo "no test programs in $build/bin" >&2
  exit 1
fi
echo "Running ${#programs[@]} test programs whole, shuffled with seed $seed..."
printf '%s\n' "${programs[@]}" |
  xargs -P "$jobs" -I{} bash -c 'cd "$1" && timeout 900 "$2" --gtest_shuffle --gtest_random_seed="$3" \
      >"$4/$(basename "$2").log" 2>&1 || echo "$(basename "$2")" >>"$4/failed"' _ "$build" {} "$seed" "$logs"
if [[ -s "$logs/failed" ]]; then
  while read -r name; do
    echo "=== $name (seed $seed) failed:"
    grep -E '^\[  FAILED  \]|Failure|Expected|Which is|Value of|Actual' "$logs/$name.log" | head -40 ||
      tail -n 20 "$logs/$name.log"  # ended without a test's failure (a crash, a time-out)
  done < <(sort "$logs/failed")
  exit 1
fi
echo "All ${#programs[@]} test programs passed whole (seed $seed)."
