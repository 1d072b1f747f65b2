#!/usr/bin/env bash
# The layer check on scratch trees with the project's README and one source
# file each: an include that runs up a layer fails, naming the file, the line
# and both folders; one that runs down passes.
# Usage: check_layers_test.sh CHECK README SCRATCH_DIR
set -euo pipefail
check=$1 readme=$2 scratch=$3

# file | include | the check's verdict | a line of what it says
cases=(
  'formats/picture_record.h|#include "runtime/process.h"|fails|formats/picture_record.h:3: formats/ includes runtime/ ("runtime/process.h"), a layer above it'
  'formats/picture_record.h|#include <runtime/process.h>|fails|formats/picture_record.h:3: formats/ includes runtime/'
  'formats/picture_record.h|#include "../runtime/process.h"|fails|formats/picture_record.h:3: includes "../runtime/process.h", which starts at no layer'
  'program/slide.cpp|#include "program/records/image_builder.h"|fails|program/slide.cpp:3: program/ includes program/records/'
  'art/palette.h|#include "art/painter/paint.h"|fails|art/palette.h:3: art/ includes art/painter/'
  'runtime/loader.cpp|  #  include "executable/executable_module.h"|fails|runtime/loader.cpp:3: runtime/ includes executable/'
  'tests/fuzz/seeds.cpp|#include "bench/ratio_reporter.h"|fails|tests/fuzz/seeds.cpp:3: tests/ includes bench/'
  'elsewhere/stray.cpp|#include "formats/picture.h"|fails|elsewhere/stray.cpp: in no folder'
  'runtime/loader.cpp|#include "formats/picture.h"|passes|'
  'program/records/icon_group.cpp|#include "program/form1.h"|passes|'
  'imagegen/imagegen_main.cpp|#include "art/icon_art.h"|passes|'
  'tests/fuzz/seeds.cpp|#include "program/records/form1_description.h"|passes|'
  'bench/startup_bench.cpp|#include "tests/tools/xvfb.h"|passes|'
  'formats/picture_record.h|#include <X11/Xlib.h>|passes|'
  'runtime/form_window.h|#include "form_instance.h"|passes|'
)

failures=0
for c in "${cases[@]}"; do
  IFS='|' read -r file include verdict said <<< "$c"
  rm -rf "$scratch"
  mkdir -p "$scratch/$(dirname "$file")"
  cp "$readme" "$scratch/README.md"
  printf '// one\n// two\n%s\n' "$include" > "$scratch/$file"
  status=0
  out=$(bash "$check" "$scratch" 2>&1) || status=$?
  got=passes
  [ $status -eq 0 ] || got=fails
  if [ "$got" != "$verdict" ] || ! grep -qF -- "$said" <<< "$out"; then
    echo "$file with $include: expected it $verdict${said:+ saying \"$said\"}; it $got:"
    echo "$out"
    failures=$((failures + 1))
  fi
done

# Without the list, the check cannot pass.
rm -rf "$scratch" && mkdir -p "$scratch/formats"
echo "# zelk" > "$scratch/README.md"
echo '#include "runtime/process.h"' > "$scratch/formats/picture.h"
if out=$(bash "$check" "$scratch" 2>&1) || ! grep -qF "no list of folders" <<< "$out"; then
  echo "a README without the list: expected the check to fail; it said: $out"
  failures=$((failures + 1))
fi
rm -rf "$scratch"

[ $failures -eq 0 ] || exit 1
echo "${#cases[@]} trees and one without the list, each judged as expected"
