#!/usr/bin/env bash
# Installs what building and testing need on Debian; skips what is already there.
# Usage: scripts/deps.sh [native] [windows] [display] [tests]
set -euo pipefail

want=("$@")
[ ${#want[@]} -eq 0 ] && want=(native windows display tests)

pkgs=(cmake g++ make clang clang-format libclang-rt-14-dev libgtest-dev libgmock-dev googletest
  libbenchmark-dev nlohmann-json3-dev python3)
for w in "${want[@]}"; do
  case "$w" in
    native) ;;
    windows) pkgs+=(g++-mingw-w64-x86-64-posix wine wine64 iproute2 util-linux wixl msitools zip) ;;
    display) pkgs+=(xvfb imagemagick x11-utils) ;;
    tests) pkgs+=(ansible-core) ;;  # the Ansible collection's test (contrib/ansible)
    *) echo "deps.sh: unknown group $w" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
