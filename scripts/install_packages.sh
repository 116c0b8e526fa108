#!/usr/bin/env bash
# Installs those of the named Debian packages that are missing, with
# apt-get update first. Arguments are package names or lists of them (files
# with one name a line, # comments). Safe to run again and again.
#   bash scripts/install_packages.sh scripts/packages-play.txt debootstrap
set -euo pipefail

wanted=()
for arg in "$@"; do
  if [[ -f "$arg" ]]; then
    while read -r pkg _; do
      [[ -z "$pkg" || "$pkg" == \#* ]] && continue
      wanted+=("$pkg")
    done < "$arg"
  else
    wanted+=("$arg")
  fi
done

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
((${#missing[@]})) || exit 0

echo "Installing: ${missing[*]}"
# This step alone needs root: an ordinary user's run asks sudo for it. env
# carries the setting through sudo, which would drop it.
as_root=(env DEBIAN_FRONTEND=noninteractive)
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || {
    echo "install_packages: these packages are missing and there is no sudo: ${missing[*]}" >&2
    echo "install_packages: as root, run: bash $0 $*" >&2
    exit 1
  }
  as_root=(sudo "${as_root[@]}")
fi
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
