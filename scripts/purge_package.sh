#!/usr/bin/env bash
# Purges the installed dunmark package and checks that every file it
# installed is gone (folders shared with other packages may stay). Needs
# root (or sudo).
set -euo pipefail
fail() { echo "purge_package: FAIL: $*" >&2; exit 1; }
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
files=$(dpkg-query -L dunmark) || fail "dunmark is not installed"
out=$(DEBIAN_FRONTEND=noninteractive $sudo apt purge -y dunmark 2>&1) || fail "apt purge dunmark: $(tail -5 <<<"$out")"
status=$(dpkg-query -W -f='${db:Status-Status}' dunmark 2>/dev/null || true)
[[ -z "$status" || "$status" == not-installed ]] || fail "not purged: $status"
while read -r path; do
  if [[ -e "$path" && ( ! -d "$path" || "$path" == *dunmark* ) ]]; then
    fail "left behind: $path"
  fi
done <<<"$files"
echo "purge_package: purged, none of its $(wc -l <<<"$files") files and folders is left"
