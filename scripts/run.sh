#!/usr/bin/env bash
# Installs what is missing, builds, and opens the window.
set -euo pipefail
here="$(dirname "$0")"
bash "$here/deps.sh"
bash "$here/build.sh"
exec "$here/../build/zelk"
