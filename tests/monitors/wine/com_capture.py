#!/usr/bin/env python3
"""com_capture.py OUT READY STOP: a pseudo-terminal standing in for a
serial printer. Every byte written to its terminal side is appended to OUT;
READY is written with the terminal's path once it is open; when STOP appears the line settings the
writer left on the terminal are printed as one line
"speed=N size=N parity=none|even|odd stop=1|2 xon=0|1 rtscts=0|1" and the
program ends."""
import os
import pty
import select
import sys
import termios
import time
import tty

out, ready, stop = sys.argv[1:4]
master, slave = pty.openpty()
tty.setraw(slave)
name = os.ttyname(slave)
with open(ready + ".new", "w") as f:
    f.write(name)
os.rename(ready + ".new", ready)
speeds = {getattr(termios, n): int(n[1:]) for n in dir(termios) if n.startswith("B") and n[1:].isdigit()}
deadline = time.time() + 240
with open(out, "wb") as capture:
    while time.time() < deadline:
        readable, _, _ = select.select([master], [], [], 0.2)
        if readable:
            try:
                data = os.read(master, 4096)
            except OSError:
                data = b""
            capture.write(data)
            capture.flush()
        elif os.path.exists(stop):
            break
iflag, _, cflag, _, ispeed, ospeed, _ = termios.tcgetattr(slave)
size = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}[cflag & termios.CSIZE]
parity = "none" if not cflag & termios.PARENB else ("odd" if cflag & termios.PARODD else "even")
print("speed=%d size=%d parity=%s stop=%d xon=%d rtscts=%d" % (
    speeds.get(ospeed, -1), size, parity, 2 if cflag & termios.CSTOPB else 1,
    1 if iflag & termios.IXON else 0, 1 if cflag & termios.CRTSCTS else 0))
