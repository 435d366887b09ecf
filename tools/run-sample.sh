#!/usr/bin/env bash
# Builds the tool set and opens the bundled sample project. The sample is
# copied to a writable place first (once; later runs reuse the copy).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/build.sh"
sample="${SHEAF_SAMPLE_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/sheaf3/sample}"
if [ ! -e "$sample/Sheaf3Manual.shf3" ]; then
  mkdir -p "$sample"
  cp -R "$here/examples/sample/." "$sample/"
fi
echo "Sample project: $sample/Sheaf3Manual.shf3"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display to show the window on; the outline of the sample project:" >&2
  exec "$here/build/bin/sheaf" tree "$sample/Sheaf3Manual.shf3"
fi
exec "$here/build/bin/sheaf3" "$sample/Sheaf3Manual.shf3"
