#!/usr/bin/env bash
# Sets up a Debian machine, builds the Linux programs and runs the kit's main
# job: the setup wizard on a fresh virtual Windows machine, in the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release >/dev/null

bin=build/linux-release
if [ ! -x "$bin/setup/kitsetup" ]; then
  cat <<'TXT'
The setup wizard is not built yet. What exists today:
  - the common library (private-profile files, code pages, language texts,
    hex command text, OS codes, bitmaps) and its tests: bash scripts/test-all.sh
Coming next: the virtual Windows machine and its tool, the dialog hosts, and
then kitsetup itself, which this command will start on a fresh machine.
TXT
  exit 0
fi
