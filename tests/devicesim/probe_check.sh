#!/usr/bin/env bash
# Runs keyloft-probe and checks that it exits 0 and that its output matches a
# pattern (grep -E, the output taken as one line per line). With a third argument,
# the KEYLOFT_SIMULATOR_LOG file it names must have a first line matching that pattern.
#   probe_check.sh <probe> <output pattern> [<log pattern>]
set -u
probe=$1 pattern=$2 logpattern=${3:-}
out=$("$probe" 2>&1)
rc=$?
printf '%s\n' "$out"
if [ $rc -ne 0 ]; then echo "FAIL: exit code $rc"; exit 1; fi
if ! printf '%s\n' "$out" | grep -Eq -- "$pattern"; then echo "FAIL: output does not match: $pattern"; exit 1; fi
if [ -n "$logpattern" ]; then
  first=$(head -n 1 "$KEYLOFT_SIMULATOR_LOG")
  echo "log: $first"
  if ! printf '%s\n' "$first" | grep -Eq -- "$logpattern"; then echo "FAIL: log line does not match: $logpattern"; exit 1; fi
fi
echo "ok"
