#!/usr/bin/env bash
# Prepares a Wine prefix of the project's own (never the user's ~/.wine) for running
# tarnwick.exe and its tests: initialised once, with Wine's TrueType fonts in its Fonts
# folder (title-bar glyphs, dialog fonts) and unmanaged X windows, so that closing a
# window on a bare X server without a window manager does not stall for two seconds.
# Usage: scripts/wine-prefix.sh PREFIX
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$prefix"
stamp=$prefix/.tarnwick-ready
[ -e "$stamp" ] && exit 0

wineboot -i >/dev/null 2>&1 || true
wineserver -w
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
for dir in /usr/share/wine/fonts /usr/lib/wine/fonts /usr/share/fonts/wine; do
  [ -d "$dir" ] && cp -n "$dir"/*.ttf "$fonts"/ 2>/dev/null || true
done
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
touch "$stamp"
