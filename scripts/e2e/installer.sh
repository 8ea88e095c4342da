#!/usr/bin/env bash
# End-to-end: the MSI installs silently (replacing an older version), the installed program
# starts to its Log In dialog, and the uninstall leaves nothing in Program Files, the Start
# menu or the list of installed programs.
# Usage: scripts/e2e/installer.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
msi=$(find "$bin" -maxdepth 1 -name 'tarnwick-*.msi' -print -quit)
[ -n "$msi" ] || { echo "installer: no tarnwick-VERSION.msi in $bin (build the tarnwick-package target)" >&2; exit 1; }
version=$(basename "$msi" .msi)
version=${version#tarnwick-}

windows_path() { echo "Z:$(tr / '\\' <<<"$1")"; }
programs="$WINEPREFIX/drive_c/Program Files/Tarnwick"
# The Start menu of all users or of this one (Wine's installer picks the latter for ALLUSERS=2).
shortcuts() {
  find "$WINEPREFIX/drive_c/ProgramData" "$WINEPREFIX/drive_c/users" -path '*/Start Menu/*' \
    -name 'Tarnwick*' 2>/dev/null | sed 's|.*/Start Menu/||'
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# The versions of Tarnwick in the list of installed programs, one a line.
installed() {
  wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk '
    /^HKEY/ {name = ""; version = ""}
    $1 == "DisplayName" {name = $3}
    $1 == "DisplayVersion" {version = $3}
    name == "Tarnwick" && version != "" {print version; name = ""}'
}
msiexec() { wine msiexec "$@" >/dev/null 2>&1; echo $?; }

# A run that stopped half-way may have left an installation.
for product in "$msi"; do msiexec /x "$(windows_path "$product")" /qn >/dev/null; done

echo "an older version, then this one over it"
bash "$e2e_root/scripts/package.sh" --bin "$bin" --out "$work" --version 2.14.0 >/dev/null
check "the older one installs" 0 "$(msiexec /i "$(windows_path "$work/tarnwick-2.14.0.msi")" /qn)"
check "it is listed" "2.14.0" "$(installed)"
check "this one installs over it" 0 "$(msiexec /i "$(windows_path "$msi")" /qn)"
check "only this one is listed" "$version.0" "$(installed)"
check "the programs and README in Program Files" "README.md tarnwick-cli.exe tarnwick.exe" \
  "$(ls "$programs" 2>/dev/null | sort | tr '\n' ' ' | sed 's/ $//')"
check "the Start menu shortcut" "Programs/Tarnwick.lnk" "$(shortcuts)"

echo "the installed program starts to its Log In dialog"
(cd "$work" && exec wine 'C:\Program Files\Tarnwick\tarnwick.exe') &
program=$!
check "Log In" "Log In" "$(driver wait-window "Log In" read-caption press "$IDCANCEL")"
ended=no
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || { ended=yes; break; }; sleep 0.1; done
check "Cancel ends it" yes $ended

echo "uninstalled, nothing is left"
check "it uninstalls" 0 "$(msiexec /x "$(windows_path "$msi")" /qn)"
check "Program Files" no "$([ -e "$programs" ] && echo yes || echo no)"
check "the Start menu" "" "$(shortcuts)"
check "the list of installed programs" "" "$(installed)"

e2e_finish
