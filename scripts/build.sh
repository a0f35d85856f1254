#!/usr/bin/env bash
# Configures and builds one build tree.
#   scripts/build.sh [--sanitize address|thread] [--dir DIR] [targets...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sanitize=""
dir=""
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) sanitize="$2"; shift 2 ;;
    --dir) dir="$2"; shift 2 ;;
    *) break ;;
  esac
done
[ -n "$dir" ] || dir="$top/build${sanitize:+-$sanitize}"
extra=()
[ -n "$sanitize" ] && extra+=(-DKEYLOFT_BENCH=OFF)
cmake -S "$top" -B "$dir" -G Ninja -DKEYLOFT_SANITIZE="$sanitize" "${extra[@]}" >/dev/null
cmake --build "$dir" -- "$@"
