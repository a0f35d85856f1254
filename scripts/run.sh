#!/usr/bin/env bash
# Installs what is missing, builds Keyloft and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
if [ -x "$top/build/keyloft/keyloft" ]; then
  exec "$top/build/keyloft/keyloft" "$@"
fi
# Until the main window lands, the keyboard finder is what there is to start.
exec "$top/build/keyloft/keyloft-probe" "$@"
