#!/usr/bin/env bash
# Prepares a Wine prefix of the project's own (never the user's ~/.wine) for running
# tarnwick.exe and its tests: initialised once, with Wine's own fonts in its Fonts folder
# and unmanaged X windows, so that closing a window on a bare X server without a window
# manager does not stall for two seconds.
#
# The fonts: the prefix registers Wine's faces in the Fonts folder but does not put all the
# files there. The dialogs' "MS Shell Dlg" is Tahoma, scalable; the bitmap .fon faces (the
# system font, "MS Sans Serif" of message boxes' older callers) keep the cell heights and
# average widths of the fonts they stand in for, and Marlett draws title bars and check marks.
# The copy runs on every call, so prefixes made before it get the fonts as well.
# Usage: scripts/wine-prefix.sh PREFIX
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$prefix"
stamp=$prefix/.tarnwick-ready

if [ ! -e "$stamp" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
fi
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
for dir in /usr/share/wine/fonts /usr/lib/wine/fonts /usr/share/fonts/wine; do
  [ -d "$dir" ] || continue
  for font in "$dir"/*.ttf "$dir"/*.fon; do
    [ -e "$font" ] && cp -n "$font" "$fonts"/ 2>/dev/null || true
  done
done
touch "$stamp"
