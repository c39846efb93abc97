#!/usr/bin/env bash
# The main job on the bundled sample case: installs, builds, writes the sample case
# (a 200 x 150 grain-growth run with 10 outputs) into sample/ and runs the program on it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
build=${BUILD_DIR:-$top/build}
case_dir="$top/sample"
rm -rf "$case_dir"
"$build/bin/generate_sample_case" "$case_dir" >/dev/null
echo "Sample case written to $case_dir:"
ls -l "$case_dir" "$case_dir/compressed"
