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
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
