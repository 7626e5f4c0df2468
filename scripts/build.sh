#!/usr/bin/env bash
# Builds KEL.gau and gaugehost, then runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
./build/emulator/gaugehost info build/module/KEL.gau
