#!/usr/bin/env bash
# The main job on the bundled sample case: installs, builds, writes the sample case
# (a 200 x 150 grain-growth run with 10 outputs, plain and gzip-compressed) into sample/
# and runs the program on it: it lists the output times of the phase field and converts
# the compressed concentration file into ASCII and into binary double precision.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
build=${BUILD_DIR:-$top/build}
case_dir="$top/sample"
rm -rf "$case_dir"
"$build/bin/generate_sample_case" "$case_dir" >/dev/null
cd "$case_dir"
echo "Output times of Sample_Phase.zlt:"
"$build/bin/Display_ZELTRA" -t --Output_Times Sample_Phase.zlt
"$build/bin/Display_ZELTRA" -t -y compressed/Sample_Conc.zlt Sample_Conc_ascii.txt
"$build/bin/Display_ZELTRA" -t -y -f compressed/Sample_Conc.zlt Sample_Conc_double.zlt
echo
echo "Sample case and converted files in $case_dir:"
ls -l "$case_dir"
