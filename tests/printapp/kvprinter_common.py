"""What the kvprinter tests share: free ports, waiting for a condition,
commands run with a bound, and the end of the processes a test started."""
import os, signal, socket, subprocess, sys, time

# The sanitizer build's commands leak at exit (PAPPL's main loop).
QUIET_LEAKS = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def listening(port):
    with socket.socket() as s:
        return s.connect_ex(("127.0.0.1", port)) == 0


def appeared(test, seconds):
    end = time.time() + seconds
    while time.time() < end:
        if test():
            return True
        time.sleep(0.1)
    return False


def wait_for(what, test, seconds=10):
    if not appeared(test, seconds):
        sys.exit("FAILED: no " + what)


def run_command(args, seconds=20, check=True):
    """The finished command; a failure ends the test when `check`."""
    r = subprocess.run(args, capture_output=True, text=True, timeout=seconds, env=QUIET_LEAKS)
    if check and r.returncode != 0:
        sys.exit("FAILED: %s\n%s%s" % (" ".join(args), r.stdout, r.stderr))
    return r


def end_children(children):
    """TERM to each started process group still running, KILL when that
    does not end it."""
    for p in children:
        if p.poll() is None:
            os.killpg(p.pid, signal.SIGTERM)
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
