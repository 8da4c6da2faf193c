"""A stop of kvprinter while a job waits for a printer that cannot be
reached ends within seconds (PAPPL 1.3 alone waited a minute): SIGTERM with
the printer's port refusing (two jobs) or not answering at all, and
`kvprinter shutdown`; with no job, `kvprinter shutdown` ends it at once. After a restart the job that waited is shown aborted
under its own id (PAPPL keeps it in the saved state).

usage: kvprinter_stop.py KVPRINTER WORK-DIR
"""
import os, re, shutil, signal, socket, subprocess, sys, time

from kvprinter_common import end_children, free_port, listening, run_command, wait_for

KVPRINTER, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
STOP_BOUND = 8  # seconds: the job's device is tried every 5 s
IDLE_STOP_BOUND = 3  # seconds, with no job: the command's own start and the server's end
children = []


def silent_port():
    """A port whose connections are never answered: a listener with a
    backlog of none, filled by one connection it never accepts, so that the
    kernel drops the next connection's SYN (as from a printer switched off)."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    filler = socket.create_connection(listener.getsockname(), timeout=5)
    children.append(listener)
    children.append(filler)
    return listener.getsockname()[1]


def refused_port():
    return free_port()  # bound and closed again: nothing listens


def start_server(port, state=WORK + "/kvprinter.state", log=WORK + "/kvprinter.log", out=WORK + "/kvprinter.out"):
    os.makedirs(WORK + "/tmp", exist_ok=True)
    os.chmod(WORK, 0o777)
    os.chmod(WORK + "/tmp", 0o777)
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0", TMPDIR=WORK + "/tmp")
    out = open(out, "a")
    p = subprocess.Popen(as_nobody() + [
        KVPRINTER, "server", "-o", "listen-hostname=127.0.0.1", "-o", "server-port=%d" % port,
        "-o", "spool-directory=" + WORK + "/spool", "-o", "state-file=" + state,
        "-o", "server-options=no-tls", "-o", "log-file=" + log, "-o", "log-level=info"],
        stdout=out, stderr=subprocess.STDOUT, env=env, start_new_session=True)
    children.append(p)
    wait_for("kvprinter server", lambda: listening(port))
    return p


def as_nobody():
    # As root, PAPPL's main loop would take /run/kvprinter.sock from a real
    # service: the test's server and commands run as nobody, the socket in WORK/tmp.
    return ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"] if os.geteuid() == 0 else []


def run(args, seconds=20):
    return run_command(as_nobody() + ["env", "TMPDIR=" + WORK + "/tmp"] + args, seconds).stdout


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    open(WORK + "/receipt.prn", "wb").write(b"\x1b@receipt\n")
    # The printer's port, how the server is stopped, the jobs sent. While
    # PAPPL 1.3 waits for a silent printer's connection (20 s) it holds the
    # printer, and its main loop, saving the state, waits for it too: a
    # second job or `kvprinter shutdown` is answered only after that try.
    # With no job at all, `kvprinter shutdown` ends the server at once
    # (PAPPL 1.3's main loop noticed it at its next wake-up, up to 30 s).
    cases = [
        ("refusing", refused_port, "kvprinter shutdown", 0),
        ("refusing", refused_port, "SIGTERM", 2),
        ("not answering", silent_port, "SIGTERM", 1),
        ("refusing", refused_port, "kvprinter shutdown", 1),
    ]
    port = free_port()
    for n, (what, device_port, how, jobs) in enumerate(cases):
        server = start_server(port)
        system = "ipp://127.0.0.1:%d/ipp/system" % port
        printer = "far%d" % n
        run([KVPRINTER, "add", "-d", printer, "-m", "vrt-q40_180dpi", "-v",
             "socket://127.0.0.1:%d" % device_port(), "-o", "printer-uri=" + system])
        uri = "ipp://127.0.0.1:%d/ipp/print/%s" % (port, printer)
        # The first job waits for the printer, any other one behind it.
        sent = [run([KVPRINTER, "submit", "-d", printer, "-o", "printer-uri=" + uri, "-o",
                     "document-format=application/vnd.veldran-receipt", WORK + "/receipt.prn"]).strip()
                for _ in range(jobs)]
        job = sent[0] if sent else None
        if jobs:
            wait_for("the job waiting for its printer", lambda: "[Job %s] Starting print job." % job in
                     open(WORK + "/kvprinter.log").read(), 10)
            time.sleep(1)  # into the device's first try
        else:
            time.sleep(1)  # the main loop back asleep after the printer was added
        begin = time.time()
        if how == "SIGTERM":
            os.killpg(server.pid, signal.SIGTERM)
        else:
            run([KVPRINTER, "shutdown"])
        try:
            status = server.wait(timeout=70)
        except subprocess.TimeoutExpired:
            status = "none"
        took = time.time() - begin
        bound = STOP_BOUND if jobs else IDLE_STOP_BOUND
        print("printer %s, %s, %d job%s: the server ended in under %d s: %s, exit %s" % (
            what, how, jobs, "" if jobs == 1 else "s", bound, took < bound, status))
    # The waiting job after a restart: aborted under its own id, its reason given.
    start_server(port)
    test = WORK + "/waited.test"
    open(test, "w").write(
        "{\n NAME \"the job that waited\"\n OPERATION Get-Job-Attributes\n GROUP operation-attributes-tag\n"
        " ATTR charset attributes-charset utf-8\n ATTR naturalLanguage attributes-natural-language en\n"
        " ATTR uri printer-uri $uri\n ATTR integer job-id %s\n STATUS successful-ok\n"
        " DISPLAY job-state\n DISPLAY job-state-message\n}\n" % job)
    shown = run_command(["ipptool", "-T", "10", "-tv", uri, test]).stdout
    state = re.search(r"job-state \(enum\) = (\S+)", shown)
    message = re.search(r"job-state-message \(textWithoutLanguage\) = (.*)", shown)
    print("after the restart, the job that waited: %s, %s" % (state.group(1) if state else "not shown",
                                                             message.group(1) if message else "no message"))
    killed_while_saving(port)


def killed_while_saving(port):
    """A server killed while it writes its state keeps the printers it had
    saved before: the file size limit, set below the saved state's size,
    ends the server (SIGXFSZ) in the middle of the next save. Its log and
    output go where the limit does not apply."""
    os.killpg(children[-1].pid, signal.SIGTERM)  # the server of the restart above
    children[-1].wait(timeout=20)
    state = WORK + "/limited.state"
    server = start_server(port, state, "/dev/null", "/dev/null")
    system = "ipp://127.0.0.1:%d/ipp/system" % port
    def add(name, check=True):
        return run_command(as_nobody() + ["env", "TMPDIR=" + WORK + "/tmp", KVPRINTER, "add", "-d", name, "-m",
                                          "vrt-q40_180dpi", "-v", "socket://127.0.0.1:%d" % refused_port(),
                                          "-o", "printer-uri=" + system], check=check)
    for name in ("kept1", "kept2"):
        add(name)
    listening(port)  # wakes the main loop, which saves
    wait_for("both printers saved", lambda: os.path.exists(state) and b"kept2" in open(state, "rb").read())
    # Lowered by the server's own user: another may not change its limits.
    run_command(as_nobody() + ["prlimit", "--pid", str(server.pid), "--fsize=%d" % (os.path.getsize(state) // 2)])
    add("third", check=False)  # its answer may come before or after the save that ends the server
    listening(port)
    try:
        status = server.wait(timeout=10)
    except subprocess.TimeoutExpired:
        status = "still running"
    start_server(port, state, "/dev/null", "/dev/null")
    listed = run([KVPRINTER, "printers", "-o", "printer-uri=" + system]).split()
    print("killed while saving its state: %s, printers after the restart: %s" % (
        "SIGXFSZ" if status == -signal.SIGXFSZ else "exit %s" % status,
        " ".join(sorted(p for p in listed if p.startswith("kept"))) or "none"))


try:
    main()
finally:
    for c in reversed(children):
        if isinstance(c, socket.socket):
            c.close()
    end_children([c for c in children if not isinstance(c, socket.socket)])
