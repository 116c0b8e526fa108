#!/usr/bin/env bash
# Proves the README's two commands on a machine that has nothing installed.
# Builds a minimal Debian root of the given release with debootstrap (from the
# mirror this machine's apt uses), makes an ordinary user there who may use
# sudo (dunmark-user), puts a git archive of the committed tree in that user's
# home, runs the play command there as that user, exactly as the README gives
# it, until the game is running, checks that it installed no test tool, ends
# the game, then, as root in the same folder,
# runs the desktop check there (scripts/desktop_check.sh: the package built
# and installed with the README's commands and played by a desktop user
# under mutter and under openbox, with PipeWire), then the test command.
# Needs root.
#   bash scripts/fresh_root_check.sh [RELEASE [TEST-OPTION [BROWSER-TEST...]]]
#     RELEASE      bookworm (Debian 12, the default), trixie (Debian 13), or
#                  testing as an early warning
#     TEST-OPTION  --quick (the default), --all: the whole test run, or
#                  --no-fuzz: the whole test run without fuzzing
#     BROWSER-TEST the browser tests run after the test command, on the web
#                  build (scripts/test_web.sh NAME...); the default is
#                  smoke_test after --quick, none after the whole test run,
#                  which has them all
# Settings (environment):
#   DUNMARK_FRESH_ROOT_ARCH   Debian architecture of the root (default this
#                             machine's). A foreign one (arm64) runs under
#                             qemu-user-static, and the art built in the root
#                             must equal, byte for byte, the art this machine
#                             builds from the same commit
#   DUNMARK_E2E_PATIENCE      passed on to the test command in the root when set
#   DUNMARK_FRESH_ROOT_TESTS  the test option when none is given (default --quick)
#   DUNMARK_FRESH_ROOT_PARENT folder the root is made in (default /var/tmp)
#   DUNMARK_FRESH_ROOT_CACHE  folder of the downloaded base packages, kept
#                             between runs (default /var/cache/dunmark-fresh-root)
#   DUNMARK_FRESH_ROOT_DESKTOP 1: run the desktop check, 0: leave it out
#                             (default 1, but 0 for a foreign architecture)
#   DUNMARK_FRESH_ROOT_BREAK  1: break the build inside the root on purpose
#                             (the failure path's test)
#
# The root has /dev, /dev/pts and /sys bound into it and a proc mount. They
# are unmounted on every way out (success, failure, interruption) before
# anything is removed; a root that still has a mount under it is never
# removed, since removing it would remove the machine's own device files.
# For a foreign architecture the check mounts binfmt_misc and registers
# qemu's handler when they are missing; it undoes just those, also on every
# way out. Checks of a foreign architecture run one at a time, since the
# handler is the whole machine's.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
suite=${1:-bookworm}
tests=${2:-${DUNMARK_FRESH_ROOT_TESTS:---quick}}
browser_tests=("${@:3}")
if ((${#browser_tests[@]} == 0)) && [[ "$tests" == --quick ]]; then
  browser_tests=(smoke_test)
fi
parent=${DUNMARK_FRESH_ROOT_PARENT:-/var/tmp}
cache=${DUNMARK_FRESH_ROOT_CACHE:-/var/cache/dunmark-fresh-root}
host_arch=$(dpkg --print-architecture)
arch=${DUNMARK_FRESH_ROOT_ARCH:-$host_arch}
patience=${DUNMARK_E2E_PATIENCE:-}
desktop=${DUNMARK_FRESH_ROOT_DESKTOP:-$([[ "$arch" == "$host_arch" ]] && echo 1 || echo 0)}
binfmt=/proc/sys/fs/binfmt_misc
# Test tools that the play command must not install.
test_only_packages=(lintian clang imagemagick faketime appstream libgtest-dev xdotool)
commit=""           # the commit both the root and the host's art are made from
root=""
user=dunmark-user   # the player who runs the play command, with sudo
tree=/root/dunmark  # the committed tree in the root, and who owns it
tree_owner=root
inside_pid=""
host_art=""          # the host's build of the art, for a foreign architecture
made_binfmt_mount=0  # what this check mounted or registered itself
made_handler=""

# Also on the output of the whole run, when this check is one of its steps.
say() {
  echo "fresh-root: $*"
  [[ -z "${DUNMARK_STEP_FD:-}" ]] ||
    printf '%*sfresh-root: %s\n' $((2 * ${DUNMARK_STEP_DEPTH:-0})) '' "$*" >&"$DUNMARK_STEP_FD" 2>/dev/null || true
}
die() { echo "fresh-root: error: $*" >&2; exit 1; }

# Mount points under the root, deepest first.
mounts_under_root() {
  findmnt -rn -o TARGET | awk -v r="$root" '$0 == r || index($0, r "/") == 1' | sort -r
}

# Every process whose root directory is the fresh root.
processes_in_root() {
  local link pid
  for link in /proc/[0-9]*/root; do
    pid=${link#/proc/}; pid=${pid%/root}
    [[ "$(readlink "$link" 2>/dev/null)" == "$root" ]] && echo "$pid"
  done
  return 0
}

stop_processes_in_root() {
  local pids i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    pids=$(processes_in_root)
    [[ -z "$pids" ]] && return 0
    # shellcheck disable=SC2086
    kill $( ((i < 6)) && echo -TERM || echo -KILL) $pids 2>/dev/null || true
    sleep 0.5
  done
}

unmount_all() {
  local target
  for target in $(mounts_under_root); do
    umount "$target" 2>/dev/null || umount --lazy "$target" || true
  done
}

remove_root() {
  [[ -n "$root" && -d "$root" ]] || return 0
  if [[ -n "$(mounts_under_root)" ]]; then
    echo "fresh-root: error: still mounted under $root, not removing it:" >&2
    mounts_under_root >&2
    return 1
  fi
  rm -rf --one-file-system "$root"
}

cleanup() {
  local code=$?
  trap - EXIT INT TERM HUP
  # Never the machine's own root: its processes and mounts are not ours.
  if [[ -n "$root" && "$(realpath -m "$root")" != / ]]; then
    [[ -n "$inside_pid" ]] && kill -TERM "$inside_pid" 2>/dev/null || true
    stop_processes_in_root
    unmount_all
    remove_root || code=1
    rm -f "$root.debootstrap.log" "$root.sudo.log"
  fi
  [[ -z "$host_art" ]] || rm -rf --one-file-system "$host_art"
  undo_emulation
  exit "$code"
}
set_traps() {
  trap cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
}

# Runs a command in the root in the background and waits for it, so that a
# signal to this script is handled at once rather than when the command ends.
# As root, or as the root's USER with a login's environment.
#   in_root COMMAND [USER]
in_root() {
  local run_as=() environment=(HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
  if [[ -n "${2:-}" ]]; then
    run_as=(/usr/bin/setpriv --reuid="$(chroot "$root" id -u "$2")" --regid="$(chroot "$root" id -g "$2")" --init-groups)
    environment=(HOME="/home/$2" USER="$2" LOGNAME="$2" PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games)
  fi
  # The steps of a run inside report to the outer run's output.
  [[ -z "${DUNMARK_STEP_FD:-}" ]] ||
    environment+=(DUNMARK_STEP_FD="$DUNMARK_STEP_FD" DUNMARK_STEP_DEPTH="${DUNMARK_STEP_DEPTH:-0}")
  chroot "$root" "${run_as[@]}" /usr/bin/env -i "${environment[@]}" TERM=dumb LANG=C.UTF-8 \
    bash -c "$1" &
  inside_pid=$!
  local code=0
  wait "$inside_pid" || code=$?
  inside_pid=""
  return "$code"
}

foreign() { [[ "$arch" != "$host_arch" ]]; }

# qemu's name for the architecture.
qemu_arch() {
  case "$arch" in
    arm64) echo aarch64 ;;
    armhf | armel) echo arm ;;
    ppc64el) echo ppc64le ;;
    riscv64 | s390x) echo "$arch" ;;
    *) die "no emulation known for $arch" ;;
  esac
}

# Where PID 1 is not systemd, installing qemu-user-static registers nothing:
# binfmt_misc is mounted and the handler registered here, when missing. The
# flags are set before the change, so that an interruption still undoes it.
set_up_emulation() {
  local name conf
  name=qemu-$(qemu_arch)
  conf=/usr/lib/binfmt.d/$name.conf
  [[ -f "$conf" ]] || die "$conf is missing (qemu-user-static)"
  if [[ ! -e "$binfmt/register" ]]; then
    made_binfmt_mount=1
    mount -t binfmt_misc binfmt_misc "$binfmt"
    say "mounted binfmt_misc on $binfmt"
  fi
  if [[ ! -e "$binfmt/$name" ]]; then
    made_handler=$binfmt/$name
    /lib/systemd/systemd-binfmt "$conf"
    [[ -e "$binfmt/$name" ]] || die "systemd-binfmt did not register $name from $conf"
    say "registered the $name handler"
  fi
  grep -qx enabled "$binfmt/$name" || die "the $name handler is disabled"
}

# The emulation's handler is shared by the whole machine: a second check of
# a foreign architecture could remove it under the first. One at a time.
hold_emulation_lock() {
  local lock=${DUNMARK_FRESH_ROOT_LOCK:-/run/lock/dunmark-fresh-root-emulation.lock}
  mkdir -p "$(dirname "$lock")"
  exec 9>"$lock"
  flock -n 9 || { say "waiting for another emulated check to end ($lock)"; flock 9; }
}

undo_emulation() {
  if [[ -n "$made_handler" && -e "$made_handler" ]]; then
    echo -1 >"$made_handler" || echo "fresh-root: error: could not remove $made_handler" >&2
  fi
  if ((made_binfmt_mount)) && mountpoint -q "$binfmt"; then
    umount "$binfmt" || echo "fresh-root: error: could not unmount $binfmt" >&2
  fi
  return 0
}

# A handler without the F flag opens its interpreter only when a program
# starts, by its path in the root: it goes into the root then.
put_interpreter() {
  local entry interpreter
  entry=$binfmt/qemu-$(qemu_arch)
  grep -q '^flags: .*F' "$entry" && return 0
  interpreter=$(awk '$1 == "interpreter" { print $2 }' "$entry")
  say "the handler has no F flag: copying $interpreter into the root"
  mkdir -p "$root$(dirname "$interpreter")"
  cp -L "$interpreter" "$root$interpreter"
}

apt_mirror() {
  local m
  m=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [[ -n "$m" ]] || m=$(awk '$1 == "deb" && $0 !~ /security/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null || true)
  [[ -n "$m" ]] || die "no Debian mirror found in this machine's apt sources"
  echo "$m"
}

# debootstrap's script for the release: one it knows, else sid's, which
# makes any newer release.
debootstrap_script() {
  local scripts=/usr/share/debootstrap/scripts
  [[ -e "$scripts/$suite" ]] && echo "$scripts/$suite" || echo "$scripts/sid"
}

# The machine's package sources with its release's name swapped for the
# root's: the same mirror, updates and security updates of that release.
write_sources() {
  local own
  own=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [[ -n "$own" ]] || die "this machine's /etc/os-release names no release"
  if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
    sed "s/\b$own\b/$suite/g" /etc/apt/sources.list.d/debian.sources >"$root/etc/apt/sources.list.d/debian.sources"
    : >"$root/etc/apt/sources.list"
  else
    sed "s/\b$own\b/$suite/g" /etc/apt/sources.list >"$root/etc/apt/sources.list"
  fi
  case "$suite" in
    bookworm | trixie) ;;
    *) # testing's Release files on a mirror may be past their Valid-Until date
       echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99dunmark-valid-until" ;;
  esac
}

make_root() {
  local tarball mirror script
  tarball=$cache/$suite-$arch-minbase.tgz
  mirror=$(apt_mirror)
  script=$(debootstrap_script)
  mkdir -p "$cache"
  if [[ ! -s "$tarball" ]]; then
    say "downloading the $suite $arch minbase packages from $mirror"
    debootstrap --arch="$arch" --variant=minbase --make-tarball="$tarball.part" "$suite" "$parent/dunmark-tarball-work" "$mirror" "$script"
    rm -rf --one-file-system "$parent/dunmark-tarball-work"
    mv "$tarball.part" "$tarball"
  fi
  say "making a minbase $suite $arch root in $root"
  ! foreign || put_interpreter
  debootstrap --arch="$arch" --variant=minbase --unpack-tarball="$tarball" "$suite" "$root" "$mirror" "$script" >"$root.debootstrap.log" 2>&1 \
    || { tail -20 "$root.debootstrap.log" >&2; die "debootstrap failed"; }
  rm -f "$root.debootstrap.log"
  write_sources
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # The certificate authorities this machine's administrator added (such as
  # a proxy's in front of the npm registry) are trusted in the root too, once
  # a package brings ca-certificates there.
  if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
    mkdir -p "$root/usr/local/share/ca-certificates"
    cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
  fi
}

installed_packages() {
  chroot "$root" dpkg-query -W -f '${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }'
}

mount_all() {
  mount -t proc proc "$root/proc"
  mount --bind /sys "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
}

put_tree() {
  mkdir -p "$root$tree"
  git -C "$top" archive --format=tar "$commit" | tar -x -C "$root$tree"
  if [[ "${DUNMARK_FRESH_ROOT_BREAK:-0}" == 1 ]]; then
    echo 'this_is_not_cmake(' >>"$root$tree/CMakeLists.txt"
  fi
  chroot "$root" chown -R "$tree_owner:" "$tree"
}

# The player: an ordinary user who may use sudo, as on a desktop machine
# (without a password, as nobody is there to type it). The tree goes into the
# player's home. sudo comes through the project's own installer, as root.
make_user() {
  say "making $user, an ordinary user with sudo, and putting the tree in $user's home"
  chroot "$root" useradd --create-home --shell /bin/bash "$user"
  tree=/home/$user/dunmark
  tree_owner=$user
  put_tree
  in_root "bash $tree/scripts/install_packages.sh sudo" >"$root.sudo.log" 2>&1 ||
    { tail -20 "$root.sudo.log" >&2; die "installing sudo in the root failed"; }
  rm -f "$root.sudo.log"
  echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
  chmod 440 "$root/etc/sudoers.d/$user"
  in_root 'sudo -n true' "$user" || die "$user cannot use sudo in the root"
  # The X servers' socket folder, root's, as a machine makes it at boot: the
  # player's Xvfb would otherwise make it the player's.
  install -d -m 1777 -o root -g root "$root/tmp/.X11-unix"
}

# The play command, as the player in the tree in the player's home, until the
# game says its sound engine is up; then the game and its display are ended.
# Nothing is set for it: with no display it must start Xvfb and send the sound
# to OpenAL Soft's null output itself, and ask sudo for the packages.
# Its phases are timed from its output: packages until CMake's first line,
# the build until play.sh starts the game.
check_play() {
  local log=$root/root/play.log i before after installed start=$SECONDS pkg built="" configured=""
  before=$(installed_packages | wc -l)
  say "play command, as $user: bash scripts/play.sh"
  in_root "cd $tree && exec bash scripts/play.sh" "$user" >"$log" 2>&1 &
  local play=$!
  for ((i = 0; i < 3600; i++)); do
    [[ -n "$configured" ]] || ! grep -q '^-- ' "$log" || configured=$SECONDS
    [[ -n "$built" ]] || ! grep -q '^No DISPLAY: starting the game' "$log" || built=$SECONDS
    grep -qxF 'SE.message: Sound Engine is created!' "$log" 2>/dev/null && break
    kill -0 "$play" 2>/dev/null || break
    sleep 1
  done
  if ! grep -qxF 'SE.message: Sound Engine is created!' "$log"; then
    tail -30 "$log" >&2
    die "the play command did not reach the running game"
  fi
  say "the game is running after $((SECONDS - start)) s (packages $((${configured:-$start} - start)) s," \
    "build $((${built:-$start} - ${configured:-$start})) s, start of the game $((SECONDS - ${built:-$SECONDS})) s); ending it"
  stop_processes_in_root
  wait "$play" 2>/dev/null || true
  installed=$(installed_packages)
  after=$(wc -l <<<"$installed")
  say "the play command installed $((after - before)) packages ($before before, $after after)"
  for pkg in "${test_only_packages[@]}"; do
    ! grep -qxF "$pkg" <<<"$installed" || die "the play command installed $pkg, a test tool"
  done
}

# The art and the sounds from the same commit, built on this machine into
# $host_art/build/gfx, sfx and sfx-pcm.
build_host_art() {
  local start=$SECONDS
  host_art=$(mktemp -d "$parent/dunmark-host-art.XXXXXX")
  say "building the art on this machine ($host_arch) from the same commit"
  bash "$here/install_packages.sh" "$here/packages-play.txt"
  mkdir "$host_art/src"
  git -C "$top" archive --format=tar "$commit" | tar -x -C "$host_art/src"
  { cmake -S "$host_art/src" -B "$host_art/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUNMARK_TESTS=OFF &&
    cmake --build "$host_art/build" --target art sounds -j "$(nproc)"; } >"$host_art/build.log" 2>&1 ||
    { tail -20 "$host_art/build.log" >&2; die "building the art on this machine failed"; }
  say "the host's art is built in $((SECONDS - start)) s"
}

# Every file in either gfx folder must be in both, with the same bytes, and
# so for the sounds and the music's PCM. The play command's build made the
# root's; they are compared before the tests, which build into the same
# folder.
compare_art() {
  local folder least mine theirs file name names differing start=$SECONDS
  for folder in gfx:12 sfx:24 sfx-pcm:6; do
    least=${folder#*:} folder=${folder%:*}
    mine=$host_art/build/$folder theirs=$root$tree/build/$folder names=() differing=()
    for file in "$mine"/* "$theirs"/*; do
      [[ -e "$file" ]] && names+=("${file##*/}")
    done
    mapfile -t names < <(printf '%s\n' "${names[@]}" | sort -u)
    ((${#names[@]} >= least)) || die "only ${#names[@]} files in $mine and $theirs"
    for name in "${names[@]}"; do
      cmp -s "$mine/$name" "$theirs/$name" || differing+=("$name")
    done
    ((${#differing[@]} == 0)) || die "$folder built on $arch differs from $host_arch's in ${#differing[@]} of ${#names[@]} files: ${differing[*]}"
    say "all ${#names[@]} files of $folder built on $arch are identical to $host_arch's"
  done
  say "compared in $((SECONDS - start)) s"
}

main() {
  set_traps
  [[ $(id -u) -eq 0 ]] || die "needs root (debootstrap, chroot and mounts)"
  [[ -z "$patience" || "$patience" =~ ^[0-9]+$ ]] || die "DUNMARK_E2E_PATIENCE must be a number of seconds"
  case "$tests" in
    --quick | --all | --no-fuzz) ;;
    *) die "unknown test option $tests (--quick, --all or --no-fuzz)" ;;
  esac
  mkdir -p "$parent"
  commit=$(git -C "$top" rev-parse --verify HEAD^{commit}) || die "no commit in $top"
  say "checking commit $commit"
  if foreign; then
    hold_emulation_lock
    bash "$here/install_packages.sh" debootstrap qemu-user-static
    build_host_art
    set_up_emulation
  else
    bash "$here/install_packages.sh" debootstrap
  fi
  root=$(mktemp -d "$parent/dunmark-fresh-root.XXXXXX")
  chmod 755 "$root"   # it becomes /, which every user must be able to enter
  local start=$SECONDS
  make_root
  say "the root is made in $((SECONDS - start)) s"
  mount_all
  make_user
  check_play
  ! foreign || compare_art
  if [[ "$desktop" == 1 ]]; then
    start=$SECONDS
    say "desktop check: ${patience:+DUNMARK_E2E_PATIENCE=$patience }bash scripts/desktop_check.sh"
    in_root "cd $tree && ${patience:+DUNMARK_E2E_PATIENCE=$patience }bash scripts/desktop_check.sh"
    say "the desktop check passed in $((SECONDS - start)) s"
  fi
  start=$SECONDS
  say "test command, as root: ${patience:+DUNMARK_E2E_PATIENCE=$patience }bash scripts/test.sh $tests"
  in_root "cd $tree && ${patience:+DUNMARK_E2E_PATIENCE=$patience }bash scripts/test.sh $tests"
  say "the test command passed in $((SECONDS - start)) s; $(installed_packages | wc -l) packages installed in all"
  if ((${#browser_tests[@]})); then
    start=$SECONDS
    say "browser tests: bash scripts/test_web.sh ${browser_tests[*]}"
    in_root "cd $tree && bash scripts/test_web.sh ${browser_tests[*]}"
    say "the web build and the browser tests passed in $((SECONDS - start)) s"
  fi
  say "passed on $suite ($arch)"
}

# Sourced by the clean-up test, which calls the functions itself.
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  main "$@"
fi
