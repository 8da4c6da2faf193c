#!/usr/bin/env bash
# Sets up a Debian machine, builds the Linux programs and runs the kit's main
# job: the setup wizard on a fresh virtual Windows machine, in the terminal.
#
#   bash scripts/run-kit.sh [PRESET]
#
# PRESET is a machine preset of the vmachine tool (default win7-x64-en; for
# example win7-x86-zh-cn for simplified Chinese, win81-x64-zh-tw for
# traditional Chinese). Type "help" at the prompt for the actions.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-win7-x64-en}
bash scripts/setup-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target vmachine kitsetup_package >/dev/null

bin=build/linux-release
machine=$(mktemp -d /tmp/kit-machine.XXXXXX)
"$bin/tools/vmachine/vmachine" create "$machine/machine" --preset "$preset"
echo "The virtual machine is in $machine/machine (inspect it with $bin/tools/vmachine/vmachine show)."
exec "$bin/kit/kitsetup" --machine "$machine/machine"
