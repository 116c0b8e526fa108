#!/usr/bin/env bash
# Tests the fresh-root check's emulation set-up for arm64: interrupted by a
# TERM, it must take away the binfmt_misc mount and the qemu handler it made,
# and leave them in place where they were there before it. Needs root and
# qemu-user-static; takes seconds. The arm64 check runs it first.
#   bash scripts/emulation_cleanup_test.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The check's functions; the names below are this test's own.
# shellcheck source=scripts/fresh_root_check.sh
source "$here/fresh_root_check.sh"
binfmt=/proc/sys/fs/binfmt_misc
handler=$binfmt/qemu-aarch64
made_mount=0
made_handler=0

fail() { echo "FAIL: $*" >&2; exit 1; }

state() {
  echo "mount $(mountpoint -q "$binfmt" && echo yes || echo no), handler $([[ -e "$handler" ]] && echo yes || echo no)"
}

# The test's own set-up of the "before" state goes on every way out.
undo_own() {
  ((made_handler)) && [[ -e "$handler" ]] && echo -1 >"$handler"
  ((made_mount)) && mountpoint -q "$binfmt" && umount "$binfmt"
  return 0
}
trap undo_own EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The check's set-up, then a TERM to it while the handler is registered.
interrupted_set_up() {
  local code=0
  (
    # shellcheck source=scripts/fresh_root_check.sh
    source "$here/fresh_root_check.sh"
    arch=arm64
    set_traps
    set_up_emulation >/dev/null
    [[ -e "$handler" ]] || exit 3
    kill -TERM "$BASHPID"
    sleep 10
  ) || code=$?
  ((code == 143)) || fail "the set-up ended with code $code, not by the TERM"
}

expect_state() {
  local what=$1 want=$2 got
  got=$(state)
  [[ "$got" == "$want" ]] || fail "$what: $got, expected $want"
  echo "ok: $what: $got"
}

[[ $(id -u) -eq 0 ]] || fail "needs root"
# The handler is the whole machine's: no emulated check may run meanwhile.
hold_emulation_lock
bash "$here/install_packages.sh" qemu-user-static
before=$(state)
interrupted_set_up
expect_state "after an interrupted set-up from '$before'" "$before"

if ! mountpoint -q "$binfmt"; then
  made_mount=1
  mount -t binfmt_misc binfmt_misc "$binfmt"
fi
if [[ ! -e "$handler" ]]; then
  made_handler=1
  /lib/systemd/systemd-binfmt /usr/lib/binfmt.d/qemu-aarch64.conf
fi
interrupted_set_up
expect_state "what was there before the set-up" "mount yes, handler yes"
echo "PASS"
