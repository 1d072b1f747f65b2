#!/usr/bin/env bash
# Installs the Debian packages that are missing for a set of work:
#   deps.sh app    building the program and opening its window
#   deps.sh test   that, and building and running every test
set -euo pipefail

app=(cmake g++ make pkg-config qt6-base-dev libxkbcommon-dev librsvg2-dev libcairo2-dev)
test=(libgtest-dev libbenchmark-dev libx11-dev xvfb xdotool imagemagick valgrind clang libclang-rt-14-dev)

case "${1:-}" in
  app) packages=("${app[@]}") ;;
  test) packages=("${app[@]}" "${test[@]}") ;;
  *) echo "usage: $0 app|test" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
