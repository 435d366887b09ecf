#!/usr/bin/env bash
# Builds everything and runs every test, headless.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/build.sh"
# The core must build without Qt: a second, core-only configuration proves it.
cmake -S "$here" -B "$here/build-core" -G Ninja -DSHEAF_CORE_ONLY=ON -DSHEAF_BUILD_TESTS=OFF -DSHEAF_BUILD_BENCH=OFF >/dev/null
cmake --build "$here/build-core" -j2
export QT_QPA_PLATFORM=offscreen
cd "$here/build"
ctest --output-on-failure -j2
