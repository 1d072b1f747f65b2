#!/usr/bin/env bash
# Installs what is missing, builds the program, and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh app
cmake --preset app >/dev/null
cmake --build --preset app -j"$(nproc)"
exec build/zelk
