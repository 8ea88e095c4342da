#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or lies in a folder the
# layering does not know. Layers, lowest first: channel <- ui <- the model folders of the page
# registry (app/Pages.def; a page's folder may also use the folders of the dialogs it opens)
# <- app. The native layer win32 uses ui only (its main.cpp also app); the console client cli
# uses everything; the simulator uses channel only. Tests, benchmarks and fuzz targets may use
# anything.
set -euo pipefail
cd "$(dirname "$0")/.."

registry=app/Pages.def
# "key folder" for every entry, and "opener-key dialog-folder" for every dialog.
entries=$(sed -nE 's/^TARNWICK_(PAGE|DIALOG)\("([a-z0-9]*)", *([a-z0-9_]+),.*/\2 \3/p' "$registry")
opens=$(sed -nE 's/^TARNWICK_DIALOG\("[a-z0-9]*", *([a-z0-9_]+), *[A-Za-z0-9_]+, *"([a-z0-9]+)",.*/\2 \1/p' "$registry")
models=$(echo "$entries" | awk '$2 != "app" { print $2 }' | sort -u | tr '\n' ' ')

folder_of() {  # a registry key
  echo "$entries" | awk -v key="$1" '$1 == key { print $2; exit }'
}

opened_by() {  # the folders of the dialogs the pages of a folder open
  local opener dialog
  while read -r opener dialog; do
    [ -n "$opener" ] && [ "$(folder_of "$opener")" = "$1" ] && echo "$dialog"
  done <<<"$opens"
  return 0
}

allowed() {  # the folders a file of this one may include from
  case " $models " in
    *" $1 "*)
      echo "channel ui $1 $(opened_by "$1" | tr '\n' ' ')"
      return
      ;;
  esac
  case "$1" in
    channel) echo "channel" ;;
    ui) echo "channel ui" ;;
    app) echo "channel ui $models app" ;;
    win32) echo "channel ui win32" ;;
    cli) echo "channel ui $models app cli" ;;
    routersim) echo "channel routersim" ;;
    tests | fuzz | bench) echo "*" ;;
    *) echo "" ;;
  esac
}

failures=0
while IFS= read -r file; do
  layer=${file%%/*}
  [ "$layer" = "$file" ] && layer=.
  ok=$(allowed "$layer")
  if [ -z "$ok" ]; then
    echo "$file: the folder $layer is no layer (a new page's folder comes from $registry)"
    failures=$((failures + 1))
    continue
  fi
  [ "$ok" = "*" ] && continue
  [ "$file" = win32/main.cpp ] && ok="$ok app"
  while IFS= read -r included; do
    dir=${included%%/*}
    [ "$dir" = "$included" ] && continue  # beside the file itself
    case " $ok " in
      *" $dir "*) ;;
      *)
        echo "$file includes $included: $layer may use only: $ok"
        failures=$((failures + 1))
        ;;
    esac
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files --cached --others --exclude-standard '*.h' '*.cpp' 2>/dev/null || find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||')

if [ "$failures" -gt 0 ]; then
  echo "check-layers: $failures include(s) against the layering"
  exit 1
fi
echo "check-layers: every include keeps to its layer"
