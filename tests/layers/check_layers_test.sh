#!/usr/bin/env bash
# The layering check on small trees of one include each: which includes it lets through and
# which it rejects, naming the file and line. Usage: check_layers_test.sh <path of the check>.
set -uo pipefail
check=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# file                      include                        expected
cases='
engine/core/log.h           engine/app/console.h           fail
platform/os.cpp             engine/core/log.h              fail
engine/files/file.cpp       engine/core/log.h              pass
engine/sound/sound.cpp      engine/net/system_info.h       fail
engine/input/input.cpp      engine/sound/sound.h           fail
engine/render/render.cpp    engine/gui/gui_host.h          fail
engine/gui/widget.cpp       engine/render/render_host.h    pass
engine/gui/widget.cpp       engine/input/input.h           pass
engine/app/game.cpp         engine/gui/gui.h               pass
engine/file3ds/reader.cpp   engine/core/types.h            fail
engine/file3ds/reader.cpp   platform/os.h                  fail
engine/file3ds/reader.cpp   engine/file3ds/chunk.h         pass
engine/scene3d/scene.cpp    engine/render/render.h         pass
engine/scene3d/scene.cpp    engine/file3ds/reader.h        pass
engine/scene3d/scene.cpp    engine/script/script.h         fail
engine/gui/gui.cpp          engine/scene3d/scene.h         fail
engine/app/game.cpp         engine/scene3d/scene.h         pass
game/app/garden.cpp         engine/app/game.h              pass
game/app/garden.cpp         game/world/ware_manager.h      fail
game/world/ware.cpp         game/island/island.h           fail
game/island/house.cpp       game/world/object.h            pass
game/windows/shop.cpp       game/world/ware_manager.h      pass
game/main.cpp               game/windows/shop.h            pass
engine/novel/thing.cpp      engine/core/types.h            fail
engine/core/log.cpp         engine/novel/thing.h           fail
engine/core/log.cpp         beside.h                       pass
'

status=0
n=0
while read -r file include expected; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  n=$((n + 1))
  tree=$tmp/$n
  mkdir -p "$tree/$(dirname "$file")"
  printf '#pragma once\n#include <vector>\n#include "%s"\n' "$include" > "$tree/$file"
  out=$(bash "$check" "$tree" 2>&1)
  rc=$?
  if [[ "$expected" == pass && $rc -ne 0 ]]; then
    echo "FAIL: $file including \"$include\" was rejected:"; echo "$out"; status=1
  elif [[ "$expected" == fail ]]; then
    if [[ $rc -ne 1 ]]; then
      echo "FAIL: $file including \"$include\" was let through (exit $rc)"; status=1
    elif [[ "$out" != *"$file:3:"* ]]; then
      echo "FAIL: the report on $file does not name the file and line:"; echo "$out"; status=1
    fi
  fi
done <<< "$cases"

echo "$n cases checked"
exit $status
