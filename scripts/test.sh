#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
here="$(dirname "$0")"
bash "$here/deps.sh"
bash "$here/build.sh"
cd "$here/../build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
