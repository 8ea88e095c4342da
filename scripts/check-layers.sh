#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. Layers, lowest first:
# channel <- ui <- models (routing, monitor, multipvc, lan; line may also use multipvc and
# lan) <- app. The native layer win32 uses ui only (its main.cpp also app); the console client's
# main uses everything (its show reads the pages through app, its dsl polls through monitor);
# the simulator uses channel only. Tests, benchmarks and fuzz targets may use anything.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed() {  # the directories a file of this one may include from
  case "$1" in
    channel) echo "channel" ;;
    ui) echo "channel ui" ;;
    routing | monitor | multipvc | lan) echo "channel ui $1" ;;
    line) echo "channel ui multipvc lan line" ;;
    app) echo "channel ui routing monitor multipvc lan line app" ;;
    win32) echo "channel ui win32" ;;
    routersim) echo "channel routersim" ;;
    *) echo "*" ;;
  esac
}

failures=0
while IFS= read -r file; do
  layer=${file%%/*}
  ok=$(allowed "$layer")
  [ "$ok" = "*" ] && continue
  [ "$file" = win32/main.cpp ] && ok="$ok app"
  [ "$file" = channel/cli/tarnwick-cli.cpp ] && ok="$ok ui app monitor"
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
