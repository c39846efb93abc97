#!/usr/bin/env bash
# Builds the request-text fuzz target with clang's libFuzzer and AddressSanitizer and runs it
# for a while (default 60 s). Not part of the test suite.
# Usage: tests/platform/fuzz/run_fuzz.sh [seconds]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
seconds="${1:-60}"
work="$(mktemp -d /tmp/request_text_fuzz.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus"
printf '\001K,123,/tmp;/bin/client;Version  0.99.8b\000' > "$work/corpus/k"
printf '\001I,0,600,400,0,19,5,Title\000' > "$work/corpus/i"
printf '\001L,0,\000' > "$work/corpus/l"
printf '\001J!\000' > "$work/corpus/j"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I"$root" \
  "$here/fuzz_request_text.cpp" "$root/platform/Request_Text.cpp" -o "$work/fuzz_request_text"
"$work/fuzz_request_text" -max_total_time="$seconds" -max_len=400 -print_final_stats=1 "$work/corpus"
