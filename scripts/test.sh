#!/usr/bin/env bash
# Installs the dependencies, builds, and runs every test; fails on any failing test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
build=${BUILD_DIR:-$top/build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 300
# Then every test program once more, whole and in a shuffled order: a test must not depend on
# running alone in its process, as ctest runs it. A fixed seed keeps runs repeatable; other
# seeds are given by hand (scripts/test-whole-programs.sh SEED).
BUILD_DIR="$build" bash "$top/scripts/test-whole-programs.sh" 1
