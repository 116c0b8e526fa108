#!/usr/bin/env bash
# Runs the benchmark in a fresh minimal Debian root of the given release,
# made, mounted and removed on every way out as the fresh-root check does
# (its functions, sourced), and copies the results out. The root gets a git
# archive of the committed tree. Needs root.
#   bash bench/debian_root.sh RELEASE RUNS RESULTS.json
# Settings: those of scripts/fresh_root_check.sh for the root, and the
# benchmark's DUNMARK_BENCH_CLICKS and DUNMARK_BENCH_WORLDS, passed on.
set -euo pipefail
bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
release=${1:?release}
runs=${2:?runs}
results=${3:?results file}
# shellcheck source=../scripts/fresh_root_check.sh
source "$bench_dir/../scripts/fresh_root_check.sh" "$release"

settings=""
for name in DUNMARK_BENCH_CLICKS DUNMARK_BENCH_WORLDS; do
  [[ -z "${!name:-}" ]] || settings+="$name='${!name}' "
done

set_traps
[[ $(id -u) -eq 0 ]] || die "needs root (debootstrap, chroot and mounts)"
commit=$(git -C "$top" rev-parse --verify HEAD^{commit}) || die "no commit in $top"
say "benchmark of commit $commit on $suite"
bash "$top/scripts/install_packages.sh" debootstrap
mkdir -p "$parent"
root=$(mktemp -d "$parent/dunmark-bench-root.XXXXXX")
chmod 755 "$root"
make_root
mount_all
put_tree
# The build is niced, the measurement is not. The measurement runs in a
# network namespace of its own: X servers' abstract sockets belong to the
# network namespace, and the root's Xvfb must not meet one of the machine's.
in_root "cd /root/dunmark && bash scripts/install_packages.sh python3 linux-perf libxtst-dev libx11-dev &&
  nice -n 5 bash scripts/setup.sh --tests && ${settings}unshare --net bash bench/run.sh $runs"
found=("$root"/root/dunmark/build/bench/results-debian*.json)
[[ -s "${found[0]}" ]] || die "the benchmark in the root wrote no results"
cp "${found[0]}" "$results"
say "results of $suite in $results"
