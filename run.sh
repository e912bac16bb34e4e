#!/usr/bin/env bash
# Installs what is missing, builds Release and opens the viewer on FILE
# (or on the bundled demo report). Without a display it renders the demo with kvtool.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
build=build-release
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
file="${1:-examples/demo.kvp}"
if [ -x "$build/src/viewer/kvviewer" ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/src/viewer/kvviewer" "$file"
  fi
  echo "run.sh: no display found; rendering $file with kvtool instead."
fi
if [ -f "$file" ]; then
  exec "$build/src/cli/kvtool" info "$file"
fi
echo "run.sh: $file not found; kvtool is built at $build/src/cli/kvtool"
exec "$build/src/cli/kvtool" --help
