#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#   scripts/test.sh                      normal build: tests, then a short benchmark smoke run
#   scripts/test.sh --sanitize address   ASan + UBSan build, every test
#   scripts/test.sh --sanitize thread    TSan build, the suites labelled "threads"
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sanitize=""
[ "${1:-}" = "--sanitize" ] && sanitize="$2"
"$top/scripts/install-deps.sh"
dir="$top/build${sanitize:+-$sanitize}"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
label=()
if [ "$sanitize" = "thread" ]; then
  label=(-L threads)
  "$top/scripts/build.sh" --sanitize thread keyloft-tests-threads
else
  "$top/scripts/build.sh" ${sanitize:+--sanitize "$sanitize"}
fi
ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300 "${label[@]}"
