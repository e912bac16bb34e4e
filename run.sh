#!/usr/bin/env bash
# Installs what is missing, builds Release and opens the viewer on FILE (or on the bundled demo
# report). Without a display it says so and renders the report with kvtool instead.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
build=build-release
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target kvviewer kvtool
file="${1:-examples/demo.kvp}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/src/viewer/kvviewer" "$file"
fi
echo "run.sh: no display found (DISPLAY is not set); rendering $file with kvtool instead."
out="$build/$(basename "${file%.*}")"
"$build/src/cli/kvtool" info "$file"
QT_QPA_PLATFORM=offscreen "$build/src/cli/kvtool" convert "$file" "$out.pdf"
QT_QPA_PLATFORM=offscreen "$build/src/cli/kvtool" render "$file" --page 1 -o "$out-page1.png"
echo "run.sh: wrote $out.pdf and $out-page1.png"
