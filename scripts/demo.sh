#!/usr/bin/env bash
# The main job on the bundled sample case: installs what is missing, builds the two programs
# it needs, writes the sample case (a 200 x 150 grain-growth run with 10 outputs, plain and
# gzip-compressed) into sample/ and runs the program on it: it lists the output times of the
# phase field and converts the compressed concentration file into ASCII and into binary
# double precision. Only the sample's own files in sample/ are rewritten.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
log="$build/demo-build.log"

echo "Checking dependencies..."
bash "$top/scripts/install-deps.sh"
mkdir -p "$build"
echo "Building Display_ZELTRA and the sample generator (log: $log)..."
if ! { cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$build" -j "$(nproc)" --target Display_ZELTRA generate_sample_case; } >"$log" 2>&1; then
  echo "The build failed; its log is $log" >&2
  tail -n 20 "$log" >&2
  exit 1
fi

case_dir="$top/sample"
echo "Writing the sample case into $case_dir..."
"$build/bin/generate_sample_case" "$case_dir" >/dev/null
cd "$case_dir"
echo
echo "Output times of Sample_phas.zlt:"
"$build/bin/Display_ZELTRA" -t --Output_Times Sample_phas.zlt
"$build/bin/Display_ZELTRA" -t -y compressed/Sample_conc1.zlt Sample_conc1_ascii.txt
"$build/bin/Display_ZELTRA" -t -y -f compressed/Sample_conc1.zlt Sample_conc1_double.zlt
echo
echo "Written in $case_dir:"
ls -l Sample_geoF.zlt Sample_phas.zlt Sample_conc1.zlt Sample_frac.zlt compressed \
      Sample_conc1_ascii.txt Sample_conc1_double.zlt
