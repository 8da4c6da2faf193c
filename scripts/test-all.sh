#!/usr/bin/env bash
# Sets up a Debian machine, builds all targets and runs every test. Each test
# program is compiled in one build of each kind (cmake/KitTesting.cmake):
#   linux-release  g++ Release: the programs, the benchmarks (briefly), and
#                  the tests too slow under the sanitizers (the full fault
#                  sweeps, the layout walks, the XP road) or needing g++
#   mingw-x64      Windows x86_64: every Windows test, under Wine in Xvfb
#   mingw-x86      Windows i686: the kit, and the tests of what differs by
#                  bitness under 32-bit Wine (and the platform contract as
#                  32-bit programs on 64-bit Windows); exports and imports
#                  checked
#   linux-debug    clang with ASan + UBSan: every native test, the fuzz targets
# The sanitizer build and its tests run beside all the other steps from the
# release tests on; their output is shown last, so it ends with CTest's
# summary, then the run's total time. On a kernel that does not start 32-bit
# programs the i686 build makes the kit alone (its tests could only skip).
#
# KIT_COLD=1 measures a run as a new machine makes it: the build folder is
# removed and the compile cache is a new empty one (the packages stay).
# A run that takes longer than KIT_RUN_LIMIT seconds (40 minutes unless set)
# fails at its end, saying so: CI stops a run at 90 minutes without a word.
# A cold run takes under 35 minutes here (README "Builds" has the figures):
# a later change that pushes it past 40 is seen long before CI's limit.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh

# Wine and ccache keep files under the home folder: make sure there is one
# even where the environment does not name it.
if [ -z "${HOME:-}" ]; then
  HOME=$(getent passwd "$(id -u)" | cut -d: -f6)
  export HOME
fi

# Let ccache share objects between checkouts in different folders.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
run_limit=${KIT_RUN_LIMIT:-2400}
run_kind=warm
if [ "${KIT_COLD:-0}" = 1 ]; then
  run_kind=cold
  CCACHE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kit-cold-ccache.XXXXXX")
  export CCACHE_DIR
  echo "test-all: cold run: build/ removed, compile cache $CCACHE_DIR (empty)"
  rm -rf build
fi

# The tests make and throw away thousands of virtual machines, each a state
# file replaced at every change: on a RAM file system that costs a fraction of
# what a disk file system's inode and write-back work costs. The tests' TMPDIR
# is a folder there when the machine has one with room (KIT_TEST_TMPDIR names
# another); the builds keep the caller's.
tests_tmp=${KIT_TEST_TMPDIR:-}
tests_tmp_made=""
shm_room_kb=$((4 * 1024 * 1024))
if [ -z "$tests_tmp" ] && [ -d /dev/shm ] && [ -w /dev/shm ] &&
   [ "$(df -Pk /dev/shm 2>/dev/null | awk 'NR == 2 { print $4 }')" -ge "$shm_room_kb" ] 2>/dev/null; then
  tests_tmp=$(mktemp -d /dev/shm/kit-tests.XXXXXX) && tests_tmp_made=$tests_tmp
fi
tests_tmp=${tests_tmp:-${TMPDIR:-/tmp}}
echo "test-all: the tests' temporary folder is $tests_tmp"
ctest() { TMPDIR=$tests_tmp command ctest "$@"; }

# Each step's heading says how long the one before it took, so the CI log
# shows where the time goes. The last step's time is CTest's own closing line,
# which stays the last line of a passing run; a failing run ends with the step
# that failed and its time.
run_start=$SECONDS step_start=$SECONDS step_name=""
step() {
  [ -n "$step_name" ] && printf '=== %s: %d s (%d s so far)\n' "$step_name" \
    $((SECONDS - step_start)) $((SECONDS - run_start))
  step_name=$* step_start=$SECONDS
  printf '\n=== %s\n' "$*"
}
declare -A beside_pid=() beside_log=() beside_start=() beside_title=()
# A run that fails ends everything it started: each job beside the steps is
# a process group of its own (its build's compilers, its CTest and the tests
# under it), ended as a whole, and the run says which step failed and which
# jobs it ended.
end_beside_jobs() {
  local preset pid ended=()
  for preset in "${!beside_pid[@]}"; do
    pid=${beside_pid[$preset]}
    kill -0 "$pid" 2>/dev/null || continue
    kill -TERM -- "-$pid" 2>/dev/null || true
    ended+=("$preset")
  done
  # What has not ended after a few seconds (a test that ignores the signal)
  # is killed.
  for _ in $(seq 50); do
    local alive=""
    for preset in "${ended[@]}"; do kill -0 -- "-${beside_pid[$preset]}" 2>/dev/null && alive=1 || true; done
    [ -n "$alive" ] || break
    sleep 0.1
  done
  for preset in "${ended[@]}"; do kill -KILL -- "-${beside_pid[$preset]}" 2>/dev/null || true; done
  [ ${#ended[@]} -eq 0 ] || printf '=== ended the jobs still running beside: %s\n' "${ended[*]}"
  # Every job not joined yet shows where it stood (one that ended on its own
  # may have failed first).
  for preset in "${!beside_pid[@]}"; do
    printf '\n=== %s, not joined: the last lines of its output\n' "${beside_title[$preset]}"
    tail -n 20 "${beside_log[$preset]}"
    rm -f "${beside_log[$preset]}"
  done
}
finish() {
  local rc=$?
  [ "$rc" -ne 0 ] && [ -n "$step_name" ] && printf '=== %s failed after %d s (%d s in all)\n' "$step_name" \
    $((SECONDS - step_start)) $((SECONDS - run_start))
  end_beside_jobs
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  [ "${KIT_COLD:-0}" = 1 ] && [ -n "${CCACHE_DIR:-}" ] && rm -rf "$CCACHE_DIR"
  [ -n "$tests_tmp_made" ] && rm -rf "$tests_tmp_made"
  return 0
}
trap finish EXIT

if [ -z "${DISPLAY:-}" ]; then
  # One X server for every Windows test of this run.
  for n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { display=$n; break; }
  done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
fi

build() {
  step "configure and build $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# beside TITLE PRESET NICENESS [then-test] [CONFIGURE-OPTION...]: builds
# PRESET while the steps that follow run, at a lower priority: those steps
# wait on Wine's windows, the tests' pauses and a last long test more than
# they use both cores, and the builds take what they leave. Several may run
# at once; the one with the higher niceness gets what the others leave. With
# "then-test" the preset's tests run as soon as its build is made, at the
# run's own priority (tests starved of the processor would overrun their
# watchdogs and the fuzz targets' time limit an input). The output is shown
# when it is joined (join PRESET).
beside() {
  local title=$1 preset=$2 niceness=$3 then_test=""
  shift 3
  if [ "${1:-}" = then-test ]; then then_test=1; shift; fi
  beside_title[$preset]=$title beside_start[$preset]=$SECONDS
  beside_log[$preset]=$(mktemp "${TMPDIR:-/tmp}/kit-build.XXXXXX")
  cmake --preset "$preset" "$@" >/dev/null
  # Job control on for this one start: the job gets a process group of its
  # own (its leader's pid), which a failed run ends as a whole. Nothing
  # beside reads the terminal.
  set -m
  (
    start=$SECONDS
    nice -n "$niceness" cmake --build --preset "$preset" || exit
    [ -n "$then_test" ] || exit 0
    printf '\n=== %s: built in %d s; its tests\n' "$preset" $((SECONDS - start))
    TMPDIR=$tests_tmp ctest --preset "$preset"
  ) </dev/null >"${beside_log[$preset]}" 2>&1 &
  beside_pid[$preset]=$!
  set +m
}
join() {
  local preset=$1 rc=0
  wait "${beside_pid[$preset]}" || rc=$?
  unset "beside_pid[$preset]"
  printf '\n=== %s, beside the steps above: %d s\n' "${beside_title[$preset]}" $((SECONDS - ${beside_start[$preset]}))
  cat "${beside_log[$preset]}"
  rm -f "${beside_log[$preset]}"
  if [ "$rc" -ne 0 ]; then
    step_name=${beside_title[$preset]}
    return "$rc"
  fi
}

# The i686 build's tests are 32-bit Windows programs: on a kernel that does
# not start 32-bit programs they could only be skipped, so that build makes
# the kit alone there.
x86_tests=i686 x86_skip=""
if ! x86_skip=$(bash scripts/runs-32bit.sh); then
  x86_tests=none
  echo "test-all: the i686 build makes the kit without its tests: 32-bit Windows programs cannot run: $x86_skip"
fi

build linux-release
# The sanitizer build and its tests, the longest chain of the run, start
# here and go on beside everything that follows (at the lowest priority, so
# the Windows builds and the Wine runs come first); the last step waits for
# them.
step "test linux-release"
beside "configure and build mingw-x64" mingw-x64 10
beside "configure, build and test linux-debug (ASan + UBSan, fuzz targets)" linux-debug 15 then-test
ctest --preset linux-release
join mingw-x64

step "test mingw-x64 under Wine"
beside "configure and build mingw-x86" mingw-x86 10 "-DKIT_TEST_SET=$x86_tests"
# The kit zip's own Wine run needs the packaged kit: it runs after packaging.
ctest --preset mingw-x64 -LE kit_zip
join mingw-x86

step "test mingw-x86 under 32-bit Wine"
if [ "$x86_tests" = none ]; then
  echo "skipped: 32-bit Windows programs cannot run: $x86_skip"
else
  ctest --preset mingw-x86 -LE kit_zip
fi

step "check the Windows binaries of both builds"
bash scripts/check-pe.sh --self-test
# The two builds side by side: each check is mostly objdump and small tools.
check_pe_log=$(mktemp "${TMPDIR:-/tmp}/kit-check-pe.XXXXXX")
bash scripts/check-pe.sh build/mingw-x86 i686 >"$check_pe_log" 2>&1 &
check_pe_pid=$!
check_pe_rc=0
bash scripts/check-pe.sh build/mingw-x64 x86_64 || check_pe_rc=$?
wait "$check_pe_pid" || check_pe_rc=$?
cat "$check_pe_log"
rm -f "$check_pe_log"
[ "$check_pe_rc" -eq 0 ]

step "package the kit (x86, x64, linux) and check each flavour's layout"
python3 package/make_kit.py
bash package/check_kit.sh build/linux-release/package/layout/kitlayout build/package x86 x64 linux

step "sign the Windows kits with a throwaway test CA and verify every file"
bash package/sign/sign_and_verify.sh

step "the kit zips (x64; x86 on 64-bit and 32-bit Windows) and MSI package under Wine: install, sheets, uninstall"
ctest --preset mingw-x64 -L kit_zip
[ "$x86_tests" = none ] || ctest --preset mingw-x86 -L kit_zip

step "wait for linux-debug's build and tests"
join linux-debug

total=$((SECONDS - run_start))
printf '=== %s: %d s\n=== total (%s run): %d s\n' "$step_name" $((SECONDS - step_start)) "$run_kind" "$total"
step_name=""
if [ "$total" -gt "$run_limit" ]; then
  printf 'test-all: FAILED: the run took %d s, over its limit of %d s (KIT_RUN_LIMIT): find the step that grew\n' \
    "$total" "$run_limit"
  exit 1
fi
