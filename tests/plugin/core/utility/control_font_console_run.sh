#!/bin/sh
# control_font_console_run.sh VMACHINE PRINTUI_SHEETS KIT_PLUGIN_DIR SCRIPTS_DIR WORK_DIR
# The control-font table saved from the device sheet of printui-sheets on a
# virtual machine with a standard user: the save is refused and the table
# the administrator left stays byte for byte, with no other file beside it;
# then the same run by an administrator, whose save lands.
set -u
vm=$1 sheets=$2 kit=$3 scripts=$4 work=$5
machine=$work/machine
folder='C:\Windows\system32\spool\drivers\w32x86\3'
rm -rf "$work" && mkdir -p "$work" || exit 1

"$vm" create "$machine" --preset win7-x64-en --standard-user >/dev/null || exit 1
"$vm" add-printer "$machine" P1 --port LPT1: >/dev/null || exit 1
# The administrator who installed the kit left the shipped table there.
"$vm" set "$machine" admin true >/dev/null || exit 1
"$vm" put "$machine" "$kit/VRTQ40CONTROL.dat" "$folder\\VRTQ40CONTROL.dat" >/dev/null || exit 1
"$vm" set "$machine" admin false >/dev/null || exit 1
table() { find "$machine/drive_c" -ipath '*/system32/spool/drivers/w32x86/3/vrtq40control.dat' | head -1; }
files_in_folder() { find "$(dirname "$(table)")" -maxdepth 1 -type f | wc -l; }

echo "=== standard user"
"$sheets" props P1 --machine "$machine" --script "$scripts/control_font_standard_user.txt" || exit 1
if cmp -s "$kit/VRTQ40CONTROL.dat" "$(table)"; then
  echo "standard user: the old table is kept byte for byte"
else
  echo "standard user: the table changed"
  exit 1
fi
"$vm" files "$machine" "$folder"
echo "files in the folder: $(files_in_folder)"

echo "=== administrator"
"$vm" set "$machine" admin true >/dev/null || exit 1
"$sheets" props P1 --machine "$machine" --script "$scripts/control_font_administrator.txt" || exit 1
"$vm" files "$machine" "$folder"
echo "files in the folder: $(files_in_folder)"
echo "--- the saved table"
cat "$(table)"
