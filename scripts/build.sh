#!/usr/bin/env bash
# Installs the dependencies and builds everything into build/ (or $BUILD_DIR).
# --sanitize: builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/
# (or $BUILD_DIR) instead. Target names after the options build only those targets.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh"
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
build=${BUILD_DIR:-$top/build}
if [ "${1:-}" = --sanitize ]; then
  shift
  options+=(-DZELTRA_SANITIZE=ON)
  build=${BUILD_DIR:-$top/build-sanitize}
fi
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -G Ninja "${options[@]}" >/dev/null
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
cmake --build "$build" -j "${JOBS:-$(nproc)}" "${targets[@]}"
