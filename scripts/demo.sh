#!/usr/bin/env bash
# The main job on the bundled sample case: installs what is missing, builds the programs it
# needs, writes the sample case (a 200 x 150 grain-growth run with 10 outputs, plain and
# gzip-compressed) into sample/ and shows it with Display_ZELTRA -m3 on the phase,
# concentration and fraction files:
#  - with a display (DISPLAY or WAYLAND_DISPLAY set): the first output's three fields in a
#    graphics window, the key summary on the terminal; n, p, l, f step through the outputs and
#    x ends;
#  - without one: the same start under -g against a graphics-window server running offscreen,
#    fed the program's own commands on standard input: default naming on (0 91 0), the image of
#    every output (0 78 0) as GIF files in sample/, then the end (0 129 0).
# Only the sample's own files and the images in sample/ are rewritten.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
log="$build/demo-build.log"

echo "Checking dependencies..."
bash "$top/scripts/install-deps.sh"
mkdir -p "$build"
echo "Building Display_ZELTRA, kornd and the sample generator (log: $log)..."
if ! { cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$build" -j "$(nproc)" --target Display_ZELTRA kornd generate_sample_case; } >"$log" 2>&1; then
  echo "The build failed; its log is $log" >&2
  tail -n 20 "$log" >&2
  exit 1
fi

case_dir="$top/sample"
echo "Writing the sample case into $case_dir..."
"$build/bin/generate_sample_case" "$case_dir" >/dev/null
cd "$case_dir"
# The program finds kornd and the PGPLOT font beside itself.
export PATH="$build/bin:$PATH"
export PGPLOT_DIR="$build/bin/"
files=(Sample_phas.zlt Sample_conc1.zlt Sample_frac.zlt)

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  echo
  echo "Showing the sample case: type n, p, l, f in the graphics window to step, x to end."
  exec "$build/bin/Display_ZELTRA" -m3 "${files[@]}"
fi

echo
echo "No display: writing the image of every output through an offscreen server..."
rm -f Sample_phas_*.gif
printf '0 91 0\n0 78 0\n0 129 0\n' | "$build/bin/Display_ZELTRA" -g -m3 "${files[@]}"
echo
echo "Images written in $case_dir:"
ls -l Sample_phas_*.gif
