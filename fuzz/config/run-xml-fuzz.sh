#!/usr/bin/env bash
# Builds the XmlDocument fuzz target with clang, ASan and UBSan and runs it for the
# given number of seconds (default 60), seeded with the shipped XML files (inputs
# are kept to 4 KiB: the parser has no size-dependent paths beyond that, and small
# inputs run many times faster under the sanitizers).
#   fuzz/config/run-xml-fuzz.sh [SECONDS] [BUILD_DIR]
# Exits non-zero when the fuzzer finds a crash, a leak or a sanitizer report; the
# input that caused it is left in BUILD_DIR/fuzz/artifacts/.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
dir=${2:-$top/build-fuzz}
CC=clang CXX=clang++ cmake -S "$top" -B "$dir" -G Ninja -DKEYLOFT_FUZZ=ON -DKEYLOFT_TESTS=OFF \
  -DKEYLOFT_BENCH=OFF -DKEYLOFT_SANITIZE=address >/dev/null
cmake --build "$dir" --target keyloft-fuzz-xml -- -j2
corpus="$dir/fuzz/xml-corpus"
mkdir -p "$corpus" "$dir/fuzz/artifacts"
find "$top/data" -name '*.xml' -exec cp {} "$corpus/" \;
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
"$dir/fuzz/keyloft-fuzz-xml" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$dir/fuzz/artifacts/" "$corpus"
