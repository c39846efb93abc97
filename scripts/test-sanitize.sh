#!/usr/bin/env bash
# Builds the server, client-library and file-reader tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ (or $BUILD_DIR) and runs them; fails on any
# failing test or report.
# Only these folders' programs are built: the whole suite under the sanitizers takes too long.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-sanitize}
folders=(tests/kornd tests/platform tests/korin_client tests/result_files)
bash "$top/scripts/build.sh" --sanitize "${folders[@]/%//all}"
export QT_QPA_PLATFORM=offscreen
failed=0
for folder in "${folders[@]}"; do
  ctest --test-dir "$build/$folder" --output-on-failure -j "${JOBS:-$(nproc)}" --timeout 300 || failed=1
done
exit $failed
