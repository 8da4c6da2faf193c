#!/bin/sh
# say-exit-status.sh PROGRAM [ARGS...]
# Runs a program and then prints "exit status N" on a line of its own, for
# CTest tests that judge a program by its output: with a pass expression CTest
# ignores the exit code, so the expression asks for this line instead, and a
# crash (even at exit) fails the test.
"$@"
status=$?
echo
echo "exit status $status"
exit 0
