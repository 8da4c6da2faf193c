#!/usr/bin/env bash
# A setup killed halfway: kitsetup (the Linux program) is ended with SIGKILL
# after the n-th Windows call of a USB install and of a serial install, n
# drawn at random over the whole road (the machine kills it in the middle of
# that call, before its change or, drawn at random, once it is saved); then the same install is run again and must finish, and the
# uninstaller must remove everything of the family: the machine compared
# with its state before, only the listed leftovers may stay. After every
# step the machine's state file must be whole. The second install is judged
# by the setup's own rule: a USB port takes one printer of the model, so
# when the killed run had already made it, the second install refuses with
# "Too many printers of this model are installed." and the printer stands.
# The serial road also runs on a machine that holds the install already
# (the update road: the killed install is the second one).
# Usage: kitsetup_kill_test.sh VMACHINE KIT_FOLDER E2E_FOLDER INSTALL [ROUNDS]
#   KIT_KILL_SEED=N repeats the draws of an earlier run.
set -u
vmachine=$1 kit=$2 e2e=$3 install=$4 rounds=${5:-4}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seed=${KIT_KILL_SEED:-$(date +%s)}
RANDOM=$seed
failures=0 kills=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# How long one program may take, in seconds.
step_limit=60
V=$vmachine
source "$e2e/machine_helpers.sh"
scenario=$e2e/scenario

# The state file must be whole: the tool reads it (exit 2 when it cannot).
state_whole() {  # state_whole DIR WHEN
  "$V" show "$1" system >/dev/null 2>&1 || fail "$2: the machine's state file is torn ($(head -c 200 "$1/state.json"))"
}

# A fresh machine: the kit's monitors, the USB installer, a snapshot.
fresh() {  # fresh DIR PLUG
  rm -rf "$1" "$1-before" "$1-ends"
  kit_machine "$1" win7-x64-en || exit 1
  map_installer "$1" "$install" "$1-install.sh" "$1-ends" || exit 1
  "$V" snapshot "$1" "$1-before" >/dev/null || exit 1
  if [ "$2" = plug ]; then "$V" plug "$1" --vid 7A5C --pid 1000 --release 0 --kvusb >/dev/null || exit 1; fi
}

kitsetup() {  # kitsetup DIR SCRIPT OUT
  (cd "$kit" && timeout $step_limit "$kit/kitsetup" --machine "$1" --kit "$kit" --script "$2") </dev/null >"$3" 2>&1
}

# How many calls kitsetup makes on the road, from a whole run with the
# machine's call log on.
road_calls() {  # road_calls SCRIPT PLUG
  local m=$work/count
  fresh "$m" "$2"
  "$V" fault "$m" log >/dev/null || exit 1
  kitsetup "$m" "$1" "$work/count.txt" || { fail "the whole road failed: $(tail -3 "$work/count.txt")" >&2; echo 0; return; }
  wait_for_installer "$m" "$m-ends" $((step_limit * 10)) >/dev/null
  "$V" show "$m" faults | grep -c '(C:\\KIT\\KITSETUP.EXE)$'
}

too_many='Too many printers of this model are installed.'

round() {  # round NAME SCRIPT PLUG CALLS [held]
  local name=$1 script=$2 plug=$3 calls=$4 held=${5:-}
  local m=$work/$name n=$((RANDOM % calls))
  fresh "$m" "$plug"
  if [ -n "$held" ]; then  # the install made once, whole: the killed run updates it
    kitsetup "$m" "$script" "$work/$name-first.txt" || fail "$name: the first install: exit $?"
    wait_for_installer "$m" "$m-ends" $((step_limit * 10)) >/dev/null || fail "$name: the USB installer did not end"
  fi
  # Every other round the killed call's change is saved before the kill.
  local effect=
  [ $((RANDOM % 2)) -eq 1 ] && effect=--after-effect
  "$V" fault "$m" kill --after "$n" --process kitsetup.exe $effect >/dev/null || exit 1
  kitsetup "$m" "$script" "$work/$name-killed.txt"
  local status=$?
  "$V" fault "$m" clear >/dev/null
  if [ $status -eq 137 ]; then
    kills=$((kills + 1))
  elif [ $status -eq 0 ]; then
    # The wizard waits for the USB installer by polling: a run may make a few
    # calls fewer than the counted one, and end before call n.
    echo "$name: kitsetup ended before call $n"
  else
    fail "$name: kitsetup was not killed after call $n of $calls (exit $status)"
  fi
  state_whole "$m" "$name, killed after call $n"
  wait_for_installer "$m" "$m-ends" $((step_limit * 10)) >/dev/null || fail "$name: the USB installer did not end"
  # The install again, on the same machine.
  if ! kitsetup "$m" "$script" "$work/$name-again.txt"; then
    if [ "$plug" = plug ] && grep -qF "$too_many" "$work/$name-again.txt" &&
       "$V" show "$m" printers | grep -q 'driver VRT-Q40'; then
      echo "$name: killed after call $n, the printer made: the install again refuses a second one on the port"
    else
      fail "$name (killed after call $n): the second install: $(grep -E '^!|message' "$work/$name-again.txt" | head -3)"
    fi
  fi
  wait_for_installer "$m" "$m-ends" $((step_limit * 10)) >/dev/null || fail "$name: the USB installer did not end"
  state_whole "$m" "$name, installed again"
  "$V" show "$m" printers | grep -q 'driver VRT-Q40' || fail "$name (killed after call $n): no printer after the second install"
  # Everything of the family removed.
  # The restart declined: 3010, of which Linux keeps 194.
  (cd "$kit" && timeout $step_limit "$kit/Uninstall" --machine "$m" --kit "$kit" --script "$scenario/uninstall.txt") \
    </dev/null >"$work/$name-uninstall.txt" 2>&1
  status=$?
  [ "$status" = $((3010 % 256)) ] || fail "$name (killed after call $n): Uninstall: exit $status (3010 expected)"
  wait_for_installer "$m" "$m-ends" $((step_limit * 10)) >/dev/null || fail "$name: the USB installer did not end"
  state_whole "$m" "$name, uninstalled"
  if ! "$V" diff "$m-before" "$m" --ignore "$scenario/uninstall_leftovers.txt" >"$work/$name-unexpected.txt" 2>&1; then
    fail "$name (killed after call $n): left after the uninstall and not listed:"
    sed 's/^/    /' "$work/$name-unexpected.txt"
  fi
  echo "$name: killed at call $n of $calls ${effect:-before its change}, installed again, uninstalled"
}

echo "seed $seed"
usb_calls=$(road_calls "$e2e/walk_usb.txt" plug)
serial_calls=$(road_calls "$scenario/install_com.txt" none)
echo "the USB road makes $usb_calls calls, the serial road $serial_calls"
[ "${usb_calls:-0}" -gt 0 ] && [ "${serial_calls:-0}" -gt 0 ] || { echo "FAIL no calls counted"; exit 1; }
for r in $(seq "$rounds"); do
  round "usb-$r" "$e2e/walk_usb.txt" plug "$usb_calls"
  round "serial-$r" "$scenario/install_com.txt" none "$serial_calls"
done
# The update road: a serial install killed on a machine that holds one (a
# second USB install on the port is refused by rule, above).
round serial-update "$scenario/install_com.txt" none "$serial_calls" held
echo "$kills kill(s) in $((rounds * 2 + 1)) round(s), $failures failure(s)"
[ $failures -eq 0 ]
