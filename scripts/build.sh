#!/usr/bin/env bash
# Builds KEL.gau and gaugehost, then runs the main job: the panel sheet of all
# seventeen gauges in a cruise state, drawn from the real KEL.gau, to panel.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
./build/gaugehost info build/module/KEL.gau
./build/gaugehost panel build/module/KEL.gau --scenario scenarios/cruise.json -o panel.png
echo "wrote panel.png"
