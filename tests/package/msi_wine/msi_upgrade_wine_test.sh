#!/usr/bin/env bash
# msi_upgrade_wine_test.sh MAKE_MSI WINE_EXEC WORK
# The MSI package's upgrade and removal rules under Wine, on a stand-in kit
# (kitsetup.exe and Uninstall.exe are one small program that logs its runs
# and ends with the status the test puts in C:\uninstall-status.txt):
#  - a second /i of the installed package asking for a printer is refused;
#  - a newer package over an older one: the older one's removal, then the
#    newer files and the newer kitsetup; the older product is gone;
#  - /x whose Uninstall ends 2 (refused) or 1 (a printer stayed) fails with
#    1603, keeps the package's files, and the MSI log holds Uninstall's
#    reason;
#  - a newer package whose removal of the older one fails fails (1603) and
#    leaves the older kit;
#  - /x whose Uninstall ends 3010 removes the package and ends 3010.
set -uo pipefail
make_msi=$1 wine_exec=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
prefix=$work/wineprefix
kit="$prefix/drive_c/Program Files/PrinterDriverKit"
# One stand-in for both programs: it logs its run; as Uninstall
# (--printers-from) it ends with the status in C:\uninstall-status.txt and
# writes a reason to its --log.
cat >"$work/standin.c" <<'C'
#include <stdio.h>
#include <string.h>
int main(int argc, char **argv) {
  int removal = argc > 3 && !strcmp(argv[2], "--printers-from"), status = 0;
  FILE *runs = fopen("C:\\runs.log", "a"), *given = fopen("C:\\uninstall-status.txt", "r"), *out = NULL;
  fprintf(runs, "%s %s\n", removal ? "Uninstall" : "kitsetup", KIT_VERSION), fclose(runs);
  if (!removal) return 0;
  if (given && fscanf(given, "%d", &status) != 1) status = 0;
  for (int i = 1; i + 1 < argc; ++i) if (!strcmp(argv[i], "--log")) out = fopen(argv[i + 1], "w");
  if (out)
    fprintf(out, "Uninstall --quiet\n%s\n", status == 2 ? "Jobs are queued on VRT-Q40(P)." : "not removed: VRT-Q40(P)"), fclose(out);
  return status;
}
C
for version in 1.0.0 1.1.0; do
  mkdir -p "$work/kit-$version"
  x86_64-w64-mingw32-gcc -O1 -DKIT_VERSION="\"$version\"" "$work/standin.c" -o "$work/kit-$version/kitsetup.exe" ||
    exit 1
  cp "$work/kit-$version/kitsetup.exe" "$work/kit-$version/Uninstall.exe"
  echo "$version" >"$work/kit-$version/VERSION.txt"
  python3 - "$make_msi" "$work/kit-$version" "$work/kit-$version.msi" "$version" <<'PY' || exit 1
import os, sys
sys.path.insert(0, os.path.dirname(sys.argv[1]))
import make_msi
make_msi.build("x64", sys.argv[2], ["kitsetup.exe", "Uninstall.exe", "VERSION.txt"], sys.argv[3], 1767225600, sys.argv[4])
PY
done
bash "$wine_exec" "$prefix" cmd /c exit >"$work/prefix.out" 2>&1 || { cat "$work/prefix.out"; exit 1; }
cp "$work"/kit-*.msi "$prefix/drive_c/"
msiexec() { bash "$wine_exec" "$prefix" msiexec "$@" >>"$work/msiexec.out" 2>&1; }
runs() { tr -d '\r' <"$prefix/drive_c/runs.log" 2>/dev/null | paste -sd, -; }
removal_log() { tr -d '\0\r' <"$prefix/drive_c/remove-$1.log" 2>/dev/null; }
# msiexec's status as Linux keeps it: 1603 & 255.
refused=$((1603 & 255))

msiexec /i 'C:\kit-1.0.0.msi' /qn ACCEPT_LICENCE=1 PORT=LPT1:
[ $? = 0 ] || fail "the first install: status $?"
msiexec /i 'C:\kit-1.0.0.msi' /qn ACCEPT_LICENCE=1 PORT=LPT2:
status=$?
[ "$status" = "$refused" ] || fail "a second /i of the installed package: status $status (1603 expected)"
[ "$(runs)" = "kitsetup 1.0.0" ] || fail "runs after the first package: $(runs)"

# The older kit's removal fails (a printer stays): the upgrade fails and
# leaves the older kit as it was.
echo 1 >"$prefix/drive_c/uninstall-status.txt"
msiexec /i 'C:\kit-1.1.0.msi' /qn ACCEPT_LICENCE=1 PORT=LPT1:
status=$?
[ "$status" = "$refused" ] || fail "the newer package over an older one whose removal fails: status $status (1603 expected)"
[ "$(tr -d '\r' <"$kit/VERSION.txt" 2>/dev/null)" = 1.0.0 ] ||
  fail "a failed upgrade did not leave the older kit: $(cat "$kit/VERSION.txt" 2>&1)"
[ "$(runs)" = "kitsetup 1.0.0,Uninstall 1.0.0" ] || fail "runs of the failed upgrade: $(runs)"
# Wine gap (as below): register the older kit again, then the same runs.
rm -f "$prefix/drive_c/uninstall-status.txt"
msiexec /i 'C:\kit-1.0.0.msi' /qn ACCEPT_LICENCE=1 PORT=LPT1:
echo "kitsetup 1.0.0" >"$prefix/drive_c/runs.log"
msiexec /i 'C:\kit-1.1.0.msi' /qn ACCEPT_LICENCE=1 PORT=LPT1:
status=$?
[ "$status" = 0 ] || fail "the newer package: status $status"
[ "$(runs)" = "kitsetup 1.0.0,Uninstall 1.0.0,kitsetup 1.1.0" ] || fail "runs of the upgrade: $(runs)"
[ "$(tr -d '\r' <"$kit/VERSION.txt")" = 1.1.0 ] || fail "the upgrade kept the older files: $(cat "$kit/VERSION.txt")"
msiexec /i 'C:\kit-1.0.0.msi' /qn ACCEPT_LICENCE=1 PORT=LPT1:
status=$?
[ "$status" = "$refused" ] || fail "the older package over the newer: status $status (1603 expected)"

for given in 2 1; do
  echo "$given" >"$prefix/drive_c/uninstall-status.txt"
  msiexec /x 'C:\kit-1.1.0.msi' /qn /l*v "C:\\remove-$given.log"
  status=$?
  [ "$status" = "$refused" ] || fail "/x with Uninstall ending $given: status $status (1603 expected)"
  [ -f "$kit/kitsetup.exe" ] || fail "/x with Uninstall ending $given removed the package"
  reason=$([ "$given" = 2 ] && echo 'Jobs are queued on VRT-Q40(P)' || echo 'not removed: VRT-Q40(P)')
  [[ "$(removal_log "$given")" == *"Uninstall.exe ended with status $given: "*"$reason"* ]] ||
    fail "the MSI log of /x does not say why (Uninstall ending $given): $(removal_log "$given" | grep -i -m3 quietremoval)"
  # Wine gap: its rollback of the failed removal leaves the files but not
  # the product's registration (Windows restores both): register it again.
  msiexec /i 'C:\kit-1.1.0.msi' /qn ACCEPT_LICENCE=1 PORT=LPT1:
done
echo 3010 >"$prefix/drive_c/uninstall-status.txt"
msiexec /x 'C:\kit-1.1.0.msi' /qn /norestart /l*v 'C:\remove-3010.log'
status=$?
[ "$status" = "$((3010 & 255))" ] || fail "/x with Uninstall ending 3010: status $status (3010 expected)"
[ ! -e "$kit/kitsetup.exe" ] || fail "/x with Uninstall ending 3010 left the package"
[ "$failures" = 0 ] || { tail -5 "$work/msiexec.out"; exit 1; }
echo "the MSI's upgrade and removal under Wine: all checks passed"
