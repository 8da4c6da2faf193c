#!/usr/bin/env bash
# kitsetup --quiet and Uninstall --quiet on fresh virtual machines.
#  1. Each option set installs what the wizard installs when a person makes
#     the same choices: the quiet run and the console walk of those choices
#     run on twin machines, and the machine tool finds no difference.
#  2. Each refused option set ends with status 2 and one line naming the
#     option and why, and leaves the machine as it was.
#  3. Uninstall --quiet removes the named printers only (or those a quiet
#     install recorded), refuses a foreign name, and says when Windows must
#     restart; a second Uninstall or a
#     setup beside a running Uninstall is refused with one line.
# Linux keeps the low 8 bits of an exit status: 3010 arrives as 194.
# Usage: quiet_runs_test.sh VMACHINE KIT_FOLDER E2E_SCRIPT_FOLDER
set -u
V=$1 kit=$2 scripts=$3
work=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
restart_status=$((3010 % 256))
source "$scripts/machine_helpers.sh"

# The wizard's pages up to the port page for the receipt model.
to_port_page=$'click 1057\nclick 1\nselect 1030 0\nclick 1\nclick 1'
to_port_page_advanced=$'click 1057\nclick 1\nselect 1030 0\nclick 1\nclick 1067\nclick 1'
maker2=(--vid 7A5C --pid 1000 --release 2 --kvusb)
maker0=(--vid 7A5C --pid 1000 --release 0 --kvusb)

# same NAME PRESET STATUS 'QUIET OPTIONS' 'WALK' [plug options ...]
same() {
  local name=$1 preset=$2 status=$3 options=$4 walk=$5
  shift 5
  for twin in quiet walk; do
    kit_machine "$work/$name-$twin" "$preset" || exit 1
    if [ $# -gt 0 ]; then "$V" plug "$work/$name-$twin" "$@" >/dev/null || exit 1; fi
  done
  printf '%s\n' "$walk" >"$work/$name.walk"
  "$kit/kitsetup" --machine "$work/$name-walk" --script "$work/$name.walk" </dev/null >"$work/$name.walk.out" 2>&1
  local walk_status=$?
  # shellcheck disable=SC2086  # the options are words
  eval "\"$kit/kitsetup\" --machine \"$work/$name-quiet\" --quiet --accept-licence $options --log \"$work/$name.log\"" \
    </dev/null >"$work/$name.quiet.out" 2>"$work/$name.quiet.err"
  local quiet_status=$?
  grep -q '^!' "$work/$name.walk.out" && fail "$name: the walk had refused actions: $(grep '^!' "$work/$name.walk.out" | head -2)"
  [ "$walk_status" = "$status" ] || fail "$name: the walk ended with $walk_status: $(tail -3 "$work/$name.walk.out")"
  [ "$quiet_status" = "$status" ] || fail "$name: --quiet $options ended with $quiet_status: $(cat "$work/$name.quiet.err")"
  [ -s "$work/$name.quiet.out" ] && fail "$name: --quiet wrote to standard output: $(head -2 "$work/$name.quiet.out")"
  grep -q '^[0-9-]* [0-9:]*  port page: ' "$work/$name.log" || fail "$name: the log has no timed port-page line"
  "$V" diff "$work/$name-walk" "$work/$name-quiet" >"$work/$name.diff" 2>&1 ||
    { fail "$name: --quiet $options differs from the wizard:"; cat "$work/$name.diff"; }
  "$V" show "$work/$name-quiet" printers | grep -q '(' || fail "$name: no printer installed"
}

same lpt win7-x64-en 0 '--model VRT-Q40 --port LPT1:' "$to_port_page"$'\nselect 1049 LPT1:\nclick 1\nanswer OK'
same com2 win7-x64-en 0 '--model VRT-Q40 --port KVCOM2: --baud 19200 --parity even' \
  "$to_port_page"$'\nselect 1049 KVCOM2:\nselect 1041 19200\nselect 1043 0\nclick 1\nanswer OK'
same com3 winxp-x86-en 0 '--series receipt --port kvcom3: --baud 19200 --parity even --data-bits 7 --stop-bits 1.5 --flow xon/xoff' \
  "$to_port_page"$'\nselect 1049 KVCOM3:\nselect 1041 19200\nselect 1043 0\nselect 1042 7\nselect 1044 1.5\nselect 1045 1\nclick 1\nanswer OK'
# Chinese texts in the lists; the options name them in English.
same com-zh win7-x86-zh-cn 0 '--model VRT-Q40 --port KVCOM1: --parity odd --flow none' \
  "$to_port_page"$'\nselect 1049 KVCOM1:\nselect 1043 3\nselect 1045 0\nclick 1\nanswer OK'
same net win7-x64-en 0 '--model VRT-Q40 --port NET: --ip 192.168.0.50 --set-default' \
  $'click 1057\nclick 1\nselect 1030 0\ncheck 1046\nclick 1\nclick 1\nselect 1049 NET:\ntype 1106 192.168.0.50\nclick 1\nanswer OK'
same lpt-std win7-x64-en 0 '--port LPT1: --raster off' "$to_port_page"$'\nselect 1049 LPT1:\nuncheck 1052\nclick 1\nanswer OK'
same usb-id win7-x64-en 0 '--model VRT-Q40 --port USB --usb-id rewrite' \
  "$to_port_page"$'\nselect 1049 USB_VRT-Q40_1\nclick 1\nanswer Yes\nanswer OK' "${maker2[@]}"
same usb-port2 winxp-x86-en 0 '--mode advanced --port USB --usb-port 2 --usb-id rewrite' \
  "$to_port_page_advanced"$'\nselect 1049 USB_VRT-Q40_2\nclick 1\nanswer Yes\nanswer OK' "${maker0[@]}"
# Windows 95 asks to restart after the install: no restart, 3010.
same lpt-95 win95-x86-en "$restart_status" '--port LPT1:' \
  "$to_port_page"$'\nselect 1049 LPT1:\nclick 1\nanswer OK\nanswer No'

# Refusals: status 2, the option and why on one line, nothing changed.
kit_machine "$work/refuse" win7-x64-en || exit 1
"$kit/kitsetup" --machine "$work/refuse" --help >"$work/help.txt" || fail "--help: status $?"
grep -q '^  receipt: VRT-Q40 VRT-D45$' "$work/help.txt" || fail "--help lists no receipt models: $(tail -5 "$work/help.txt")"
grep -q -- '--usb-id keep|rewrite' "$work/help.txt" || fail "--help lists no --usb-id"
"$V" snapshot "$work/refuse" "$work/refuse-before" >/dev/null || exit 1
refused() {  # refused 'OPTIONS' 'TEXT OF THE LINE' [CHANGE THE WIZARD MAKES BEFORE IT REFUSES]
  local err="$work/refused.err"
  eval "\"$kit/kitsetup\" --machine \"$work/refuse\" --quiet $1" </dev/null >/dev/null 2>"$err"
  local status=$?
  [ "$status" = "${expect_status:-2}" ] || fail "refused $1: status $status"
  [ "$(wc -l <"$err")" = 1 ] || fail "refused $1: not one line: $(cat "$err")"
  grep -qF -- "kitsetup: $2" "$err" || fail "refused $1: '$(cat "$err")' does not say '$2'"
  "$V" diff "$work/refuse-before" "$work/refuse" 2>&1 | grep -v -F -e 'no differences' -e "${3:-no differences}" \
    >"$work/refused.diff"
  [ -s "$work/refused.diff" ] && { fail "refused $1 changed the machine:"; cat "$work/refused.diff"; }
  rm -rf "$work/refuse" && "$V" snapshot "$work/refuse-before" "$work/refuse" >/dev/null || exit 1
}
refused '--model VRT-Q40' '--accept-licence: is required'
refused '--accept-licence --frobnicate' '--frobnicate: is not an option of kitsetup'
refused '--accept-licence --baud' '--baud: needs a value'
refused '--accept-licence --baud fast' '--baud: "fast" is not a rate the port page offers'
refused '--accept-licence --usb-port 9 --port USB' '--usb-port: "9" is not a USB port index'
refused '--accept-licence --model VRT-Q40 --model VRT-D45' '--model: is given twice'
refused '--accept-licence --port LPT1: --parity even' '--port "LPT1:": has no serial settings'
refused '--accept-licence --port LPT1: --ip 10.0.0.1' '--ip: goes with --port NET: only'
refused '--accept-licence --port NET:' '--port "NET:": needs --ip ADDRESS'
refused '--accept-licence --port NET: --ip 300.1.2.3' '--ip: "300.1.2.3" is not an IPv4 address'
refused '--accept-licence --model VRT-X9' '--model "VRT-X9": not a model of this kit (receipt: VRT-Q40, VRT-D45;'
refused '--accept-licence --series ticket --model VRT-Q40' '--model "VRT-Q40": not a model of this kit in the ticket series'
refused '--accept-licence --mode advanced --model VRT-T80' '--mode advanced: this model has no Advanced setup (VRT-T80)'
refused '--accept-licence --port KVCOM9:' '--port "KVCOM9:": not offered for VRT-Q40 here (the port page offers KVCOM1:'
refused '--accept-licence --port NET: --ip 0.0.0.0' "--port \"NET:\": Please enter the printer's IP address."
refused '--accept-licence --mode advanced --port USB_VRT-Q40_2 --usb-port 3' '--usb-port: contradicts --port "USB_VRT-Q40_2"'
refused "--accept-licence --port LPT1: --record '$work/no-such-folder/printers.txt'" '--record: cannot write'
# A refused command line says why in its --log too.
refused "--accept-licence --frobnicate --log '$work/refused.log'" '--frobnicate: is not an option'
grep -qF 'kitsetup: --frobnicate: is not an option' "$work/refused.log" || fail "the refusal is not in --log"
# The wizard hands the USB driver to Install ("2", with its files made
# writable) before it looks for the printer: a printer that then does not
# answer fails the run (1), which says the driver stays.
expect_status=1 refused '--accept-licence --mode advanced --port USB --usb-port 3' \
  'No printer answers on USB.; The install stopped after it had started the USB printer driver' \
  $'"parameters":"2"\nKVPUSB.'

# --usb-id keep with a printer whose id does not match the port: the run
# stops (1: the USB driver's install had started), its line naming the id
# the printer answered and the port, not the question.
m="$work/usb-keep"
kit_machine "$m" win7-x64-en || exit 1
"$V" plug "$m" "${maker2[@]}" >/dev/null || exit 1
"$kit/kitsetup" --machine "$m" --quiet --accept-licence --model VRT-Q40 --port USB --usb-id keep \
  </dev/null >/dev/null 2>"$work/usb-keep.err"
got=$?
[ "$got" = 1 ] || fail "--usb-id keep: status $got: $(cat "$work/usb-keep.err")"
grep -qE -- "^kitsetup: --usb-id: the printer's USB id [0-9]+ does not match the port USB_VRT-Q40_1 and was kept;" \
  "$work/usb-keep.err" && ! grep -q "Change the printer's USB id" "$work/usb-keep.err" ||
  fail "--usb-id keep does not name the id: $(cat "$work/usb-keep.err")"

# --keep-existing: a retried install keeps the printer of its name, driver
# and port (a numbered copy included) and ends 0; under that name with
# another port or driver (names compared without case) it goes as without
# the option, a numbered copy. One machine, the rows in turn:
# BEFORE (vmachine arguments) | OPTIONS | STATUS | the model's printers after (name@port)
m="$work/keep"
kit_machine "$m" win7-x64-en || exit 1
"$V" plug "$m" "${maker2[@]}" >/dev/null || exit 1
p1='VRT-Q40(P)@LPT1:' p2="VRT-Q40(P)(1)@LPT2:,VRT-Q40(P)@LPT1:"
p3="VRT-Q40(P)(1)@LPT2:,VRT-Q40(P)(2)@LPT3:,VRT-Q40(P)@LPT1:,vrt-q40(p)(3)@LPT3:"
u1="VRT-Q40(P)(1)@LPT2:,VRT-Q40(P)(2)@LPT3:,VRT-Q40(P)@LPT1:,VRT-Q40(U) 1@USB_VRT-Q40_1,vrt-q40(p)(3)@LPT3:"
keep_rows=(
  "|--port LPT1:|0|$p1"
  "|--port LPT1: --keep-existing|0|$p1"
  "|--port LPT2: --keep-existing|0|$p2"
  "|--port LPT2: --keep-existing|0|$p2"
  "add-printer vrt-q40(p)(3) --port LPT3: --driver Other|--port LPT3: --keep-existing|0|$p3"
  "|--port USB --usb-id rewrite|0|$u1"
  "|--port USB --usb-id rewrite --keep-existing|0|$u1"
)
for row in "${keep_rows[@]}"; do
  IFS='|' read -r before options status expected <<<"$row"
  read -ra words <<<"$before"
  [ -z "$before" ] || "$V" "${words[0]}" "$m" "${words[@]:1}" >/dev/null || fail "vmachine $before"
  # shellcheck disable=SC2086  # the options are words
  "$kit/kitsetup" --machine "$m" --quiet --accept-licence --model VRT-Q40 $options --log "$work/keep.log" \
    </dev/null >/dev/null 2>"$work/keep.err"
  got=$?
  printers=$("$V" show "$m" printers | sed -n 's/ (default)  port /  port /; s/^  \(.*\)  port \([^ ]*\)  driver.*/\1@\2/p' | grep -i '^vrt-q40' |
    LC_ALL=C sort | paste -sd, -)
  [ "$got" = "$status" ] || fail "keep $options: status $got, not $status: $(cat "$work/keep.err")"
  [ "$printers" = "$expected" ] || fail "keep $options: printers $printers, not $expected"
done
grep -qF 'kept VRT-Q40(P): installed already' "$work/keep.log" || fail "--keep-existing: the log does not say kept"

# The machine's differences but the kit folder, which each run lays out anew.
changes() {  # changes BEFORE AFTER
  "$V" diff "$1" "$2" 2>&1 | grep -v -e '^[~+-] \(file\|folder\) C:\\kit' -e '^+ folder C:\\ '
}

# Uninstall --quiet on a machine with a parallel and a serial printer.
m="$work/un"
kit_machine "$m" win7-x64-en || exit 1
for port in LPT1: KVCOM1:; do
  "$kit/kitsetup" --machine "$m" --quiet --accept-licence --port "$port" --model '' --record "$work/record.txt" \
    </dev/null || fail "install on $port: $?"
done
[ "$(cat "$work/record.txt")" = $'VRT-Q40(P)\nVRT-Q40(S)' ] || fail "--record: $(cat "$work/record.txt")"
"$V" snapshot "$m" "$work/un-before" >/dev/null || exit 1
(cd "$kit" && ./Uninstall --machine "$m" --quiet --printer 'VRT-Q40(X)' 2>"$work/un.err")
[ $? = 2 ] || fail "Uninstall --printer VRT-Q40(X): not refused"
grep -qF 'Uninstall: --printer VRT-Q40(X): not a printer of this family on this system (the family'"'"'s printers here: VRT-Q40(P), VRT-Q40(S))' "$work/un.err" ||
  fail "Uninstall foreign name: $(cat "$work/un.err")"
(cd "$kit" && ./Uninstall --machine "$m" --quiet --printer 'VRT-Q40(P)' --skip-missing 2>"$work/un.err")
[ $? = 2 ] && grep -qF 'Uninstall: --skip-missing: needs --printers-from FILE' "$work/un.err" ||
  fail "Uninstall --skip-missing without a file: $(cat "$work/un.err")"
[ -n "$(changes "$work/un-before" "$m")" ] && fail "a refused Uninstall changed the machine: $(changes "$work/un-before" "$m")"
# Printer names compare without case, as Windows compares them.
(cd "$kit" && ./Uninstall --machine "$m" --quiet --printer 'vrt-q40(p)' --log "$work/un.log" 2>"$work/un.err")
[ $? = "$restart_status" ] || fail "Uninstall --printer vrt-q40(p): status $? (restart asked: $restart_status) $(cat "$work/un.err")"
printers=$("$V" show "$m" printers)
grep -q 'VRT-Q40(P)' <<<"$printers" && fail "VRT-Q40(P) still installed"
grep -q 'VRT-Q40(S)' <<<"$printers" || fail "VRT-Q40(S) was removed too"
grep -q '  VRT-Q40(P) was removed.$' "$work/un.log" || fail "the log lacks the removal: $(cat "$work/un.log")"

# A second Uninstall beside a running one, and a setup beside it.
mkfifo "$work/actions"
(cd "$kit" && exec ./Uninstall --machine "$m" <"$work/actions" >"$work/first.out" 2>&1) &
first=$!
exec 3>"$work/actions"
for _ in $(seq 100); do "$V" show "$m" windows | grep -q Uninstall && break; sleep 0.1; done
(cd "$kit" && ./Uninstall --machine "$m" --quiet --all 2>"$work/second.err")
[ $? = 2 ] || fail "a second Uninstall was not refused"
[ "$(cat "$work/second.err")" = "Uninstall: another Uninstall is already running" ] ||
  fail "second Uninstall: $(cat "$work/second.err")"
"$kit/kitsetup" --machine "$m" --quiet --accept-licence --port LPT2: </dev/null 2>"$work/setup.err"
[ $? = 2 ] || fail "setup beside Uninstall: not refused"
[ "$(wc -l <"$work/setup.err")" = 1 ] || fail "setup beside Uninstall: $(cat "$work/setup.err")"
echo "click 2" >&3
exec 3>&-
wait "$first"

# The recorded printers: the other one goes, and the one removed already is
# named with status 1 (--skip-missing passes over it).
(cd "$kit" && ./Uninstall --machine "$m" --quiet --printers-from "$work/record.txt" 2>"$work/rec.err")
[ $? = 1 ] && grep -qxF 'Uninstall: --printers-from: no printer of this name here: VRT-Q40(P)' "$work/rec.err" ||
  fail "Uninstall --printers-from with a printer gone: status $? $(cat "$work/rec.err")"
"$V" show "$m" printers | grep -q 'VRT-Q40(S)' && fail "--printers-from left VRT-Q40(S)"
(cd "$kit" && ./Uninstall --machine "$m" --quiet --all --restart 2>"$work/all.err")
[ $? = 0 ] || fail "Uninstall --all --restart: status $? $(cat "$work/all.err")"
"$V" show "$m" printers | grep -q 'VRT' && fail "Uninstall --all left a printer"

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "quiet runs: all checks passed"
