#!/usr/bin/env bash
# Builds the Windows packages of Tarnwick from a windows build: tarnwick-VERSION.msi (with
# wixl, from msitools) and tarnwick-VERSION.zip (tarnwick.exe, tarnwick-cli.exe, README.md).
# VERSION is the CMake project's, as the build wrote it into channel/Version.h.
# Usage: scripts/package.sh [--bin DIR] [--cli PATH] [--out DIR] [--version X.Y.Z]
#   DIR is the windows build (default build/windows); --cli names tarnwick-cli.exe when it is
#   not found under DIR; the packages go to --out (default DIR). --version gives the package
#   another version (the programs inside keep theirs): the upgrade scenario uses it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/windows
cli="" out="" version=""
while [ $# -gt 0 ]; do
  case "$1" in
    --bin) bin=$2; shift 2 ;;
    --cli) cli=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    *) echo "package: unknown argument $1" >&2; exit 2 ;;
  esac
done
out=${out:-$bin}
header=$bin/generated/channel/Version.h
[ -f "$header" ] || { echo "package: no $header (configure and build the windows preset)" >&2; exit 1; }
name=$(sed -n 's/^#define TARNWICK_VERSION "\(.*\)"$/\1/p' "$header")
if [ -z "$version" ]; then
  version=$(sed -n 's/^#define TARNWICK_VERSION_QUAD "\([0-9]*\.[0-9]*\.[0-9]*\)\.[0-9]*"$/\1/p' "$header")
else
  name=$version
fi
[ -n "$cli" ] || cli=$(find "$bin" -maxdepth 3 -name tarnwick-cli.exe -print -quit)
for f in "$bin/tarnwick.exe" "$cli"; do
  [ -f "$f" ] || { echo "package: ${f:-tarnwick-cli.exe} missing (build the windows preset)" >&2; exit 1; }
done
for tool in wixl zip; do
  command -v $tool >/dev/null || { echo "package: $tool is not installed (scripts/deps.sh windows)" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$bin/tarnwick.exe" "$cli" "$root/README.md" "$root/resources/tarnwick.ico" \
  "$root/packaging/tarnwick.wxs" "$stage/"
mkdir -p "$out"
msi=$out/tarnwick-$name.msi
zip=$out/tarnwick-$name.zip
# wixl finds the files beside the descriptor, by relative name.
(cd "$stage" && wixl --arch x64 --define Version="$version" --output "$stage/out.msi" tarnwick.wxs)
mv "$stage/out.msi" "$msi"
rm -f "$zip"
(cd "$stage" && zip -q -X "$zip.part" tarnwick.exe tarnwick-cli.exe README.md)
mv "$zip.part" "$zip"
echo "package: $msi"
echo "package: $zip"
