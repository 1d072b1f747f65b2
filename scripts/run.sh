#!/usr/bin/env bash
# Installs what is missing, builds the program, and opens the window. The
# program alone is built in build-app/, apart from the test build in build/, so
# that neither command reconfigures the other's folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh app
cmake --preset app >/dev/null
cmake --build --preset app -j"$(nproc)"
exec build-app/zelk
