"""kvprinter end to end on the loopback: a PAPPL server with one printer on
a kvjob test printer (socket) and one on a folder (file), ipptool's tests,
jobs that must fail and the job after them, a PDF through a private cupsd's
driverless queue drawn by kvjob and compared with pdftoppm, and the
Utilities page (a screenshot, the self-test and a logo).

usage: kvprinter_road.py KVPRINTER KVJOB WORK-DIR
"""
import json, os, re, shutil, signal, socket, struct, subprocess, sys, time, urllib.request, zlib

from kvprinter_common import QUIET_LEAKS, end_children, free_port, listening, run_command, wait_for

KVPRINTER, KVJOB, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
HERE = os.path.dirname(os.path.abspath(__file__))
QR_TEXT = "https://veldran.example/receipt/4711"
MANY_PAGES = 2000  # a PDF that prints for a minute, cancelled in its first seconds
children = []


def start(args, name, seconds=140):  # a bound; main() ends them sooner
    out = open(os.path.join(WORK, name + ".out"), "w")
    p = subprocess.Popen(["timeout", "-k", "5", str(seconds)] + args, stdout=out, stderr=subprocess.STDOUT,
                         env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0", TMPDIR=WORK + "/tmp"),
                         start_new_session=True)
    children.append(p)
    return p


def run(args, seconds=20, check=True):
    return run_command(args, seconds, check).stdout


def make_documents():
    """A 55.8 x 297 mm receipt PDF with text, a grey picture and a QR code,
    its PWG raster page (and a third of it), a 10 m page and a PDF that is not one."""
    rows = [l[::2] for l in run(["qrencode", "-t", "ASCII", "-m", "0", QR_TEXT]).splitlines() if l]
    qr = "".join("%d %d 3 3 rectfill\n" % (30 + 3 * x, 700 - 3 * y)
                 for y, row in enumerate(rows) for x, c in enumerate(row) if c == "#")
    gradient = "".join("%02x" % (4 * x) for y in range(32) for x in range(64))
    ps = ("%%!PS\n<< /PageSize [158.17 841.89] >> setpagedevice\n/Helvetica-Bold findfont 15 scalefont setfont\n"
          "12 815 moveto (KVPRINTER ROAD) show\n0 setgray\n%s"
          "gsave 20 520 translate 118 60 scale 64 32 8 [64 0 0 32 0 0] {<%s>} image grestore\n"
          "/Helvetica findfont 11 scalefont setfont 12 500 moveto (Total 12.50 EUR) show\nshowpage\n") % (qr, gradient)
    open(os.path.join(WORK, "receipt.ps"), "w").write(ps)
    gs = ["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER"]
    run(gs + ["-sDEVICE=pdfwrite", "-sOutputFile=" + WORK + "/receipt.pdf", WORK + "/receipt.ps"])
    # A receipt on a page of its own 100 mm long, its text 12 mm from the top.
    open(os.path.join(WORK, "short.ps"), "w").write(
        "%!PS\n<< /PageSize [158.17 283.46] >> setpagedevice\n/Helvetica-Bold findfont 15 scalefont setfont\n"
        "12 250 moveto (SHORT RECEIPT) show\n12 230 moveto 134 0 rlineto 2 setlinewidth stroke\n"
        "/Helvetica findfont 11 scalefont setfont 12 210 moveto (Total 3.20 EUR) show\nshowpage\n")
    run(gs + ["-sDEVICE=pdfwrite", "-sOutputFile=" + WORK + "/short.pdf", WORK + "/short.ps"])
    run(gs + ["-sDEVICE=pwgraster", "-r180", "-dcupsColorSpace=18", "-dcupsBitsPerColor=8",
              "-sOutputFile=" + WORK + "/receipt.pwg", WORK + "/receipt.pdf"])
    good = open(WORK + "/receipt.pwg", "rb").read()
    open(WORK + "/short.pwg", "wb").write(good[:len(good) // 3])  # sent as a third of a stream
    # A page header that claims 4,294,967,280 rows (cupsHeight, at byte 380).
    open(WORK + "/lying.pwg", "wb").write(good[:380] + struct.pack(">I", 0xFFFFFFF0) + good[384:])
    # A good page, then one whose header claims 30,000 rows (4.2 m at 180 dpi).
    second = good[4:380] + struct.pack(">I", 30000) + good[384:]
    open(WORK + "/lying2.pwg", "wb").write(good + second)
    open(WORK + "/long.ps", "w").write("%!PS\n<< /PageSize [158.17 28346] >> setpagedevice showpage\n")
    run(gs + ["-sDEVICE=pdfwrite", "-sOutputFile=" + WORK + "/long.pdf", WORK + "/long.ps"])
    open(WORK + "/notpdf.pdf", "w").write("This is a receipt in plain text, not a PDF.\n")
    # A valid one-bit PNG of 20000 x 20000 dots (400 million, 50 MB of rows
    # zipped to a few hundred kB), and the QR code as a PNG of its own.
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = zlib.compressobj(1)
    idat = b"".join(rows.compress(b"\0" + b"\xff" * 2500) for _ in range(20000)) + rows.flush()
    open(WORK + "/bomb.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 20000, 20000, 1, 0, 0, 0, 0))
                                         + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
    run(["qrencode", "-o", WORK + "/qr.png", "-s", "4", QR_TEXT])
    open(WORK + "/many.ps", "w").write("%%!PS\n<< /PageSize [158.17 841.89] >> setpagedevice\n"
                                       "1 1 %d { pop 20 700 moveto 100 0 rlineto stroke showpage } for\n" % MANY_PAGES)
    run(gs + ["-sDEVICE=pdfwrite", "-sOutputFile=" + WORK + "/many.pdf", WORK + "/many.ps"])
    run(gs + ["-sDEVICE=pdfwrite", "-dLastPage=5", "-sOutputFile=" + WORK + "/five.pdf", WORK + "/many.ps"])


def ipptool(uri, test, verbose=False, **values):
    args = ["ipptool", "-T", "20", "-tv" if verbose else "-t"] + sum((["-d", "%s=%s" % kv] for kv in values.items()), [])
    ours = os.path.join(HERE, test)  # else one of ipptool's own tests
    return run(args + [uri, ours if os.path.exists(ours) else test])


def send_cut_short(port, printer, path):
    """A Print-Job whose client goes away a third into its raster stream;
    its job id."""
    def attr(tag, name, value):
        return struct.pack(">BH", tag, len(name)) + name.encode() + struct.pack(">H", len(value)) + value.encode()
    body = (struct.pack(">BBHI", 2, 0, 0x0002, 1) + b"\x01" + attr(0x47, "attributes-charset", "utf-8") +
            attr(0x48, "attributes-natural-language", "en") +
            attr(0x45, "printer-uri", "ipp://127.0.0.1:%d/ipp/print/%s" % (port, printer)) +
            attr(0x42, "job-name", "short.pwg") + attr(0x49, "document-format", "image/pwg-raster") + b"\x03")
    data = open(path, "rb").read()
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(b"POST /ipp/print/%s HTTP/1.1\r\nHost: localhost\r\nContent-Type: application/ipp\r\n"
                  b"Content-Length: %d\r\n\r\n" % (printer.encode(), len(body) + 3 * len(data)) + body + data)
        s.shutdown(socket.SHUT_WR)
        reply = b""
        while b"job-id" not in reply[:-12]:
            reply += s.recv(4096) or sys.exit("FAILED: no job for the stream cut short")
    return struct.unpack(">I", reply[reply.index(b"job-id") + 8:][:4])[0]


def start_cupsd(kv_uri):
    root = WORK + "/cups"
    for d in ("conf", "spool", "cache", "state", "tmp", "log"):
        os.makedirs(os.path.join(root, d))
    port = free_port()
    open(root + "/conf/cupsd.conf", "w").write(
        "Listen 127.0.0.1:%d\nBrowsing Off\nBrowseLocalProtocols none\nWebInterface No\nDefaultAuthType None\n"
        "<Location />\n Order allow,deny\n Allow 127.0.0.1\n</Location>\n" % port)
    open(root + "/conf/cups-files.conf", "w").write("".join("%s %s/%s\n" % kv for kv in [
        ("ServerRoot", root, "conf"), ("RequestRoot", root, "spool"), ("CacheDir", root, "cache"),
        ("StateDir", root, "state"), ("TempDir", root, "tmp"), ("ErrorLog", root, "log/error_log"),
        ("AccessLog", root, "log/access_log"), ("PageLog", root, "log/page_log"), ("Printcap", root, "printcap")])
        + "SystemGroup root\nUser lp\nGroup lp\n")
    os.chmod(root + "/tmp", 0o1777)
    start(["cupsd", "-f", "-c", root + "/conf/cupsd.conf", "-s", root + "/conf/cups-files.conf"], "cupsd")
    wait_for("cupsd", lambda: listening(port))
    server = "127.0.0.1:%d" % port
    run(["lpadmin", "-h", server, "-p", "road", "-E", "-v", kv_uri, "-m", "everywhere"])
    return server


def read_pgm(data):
    parts = data.split(maxsplit=4)
    w, h = int(parts[1]), int(parts[2])
    return w, h, parts[4][-w * h:]


def compare_with_pdftoppm(picture):
    """Share of the pixels pdftoppm draws clearly black or white at the
    printer's 180 dpi and 395-dot line that the printed receipt has the same.
    The receipt starts at its first printed row: pdftoppm's page is taken
    from its first row with ink, give or take the few rows whose light grey
    the dither leaves white (the best of those starts counts)."""
    ref = read_pgm(subprocess.run(["pdftoppm", "-gray", "-r", "180", "-scale-to-x", "395", "-scale-to-y", "-1",
                                   WORK + "/receipt.pdf"], capture_output=True, timeout=20).stdout)
    w = ref[0]
    got = read_pgm(subprocess.run(["convert", picture, "-crop", "%dx%d+16+0" % (w, ref[1]), "+repage",
                                   "-colorspace", "gray", "pgm:-"], capture_output=True, timeout=20).stdout)
    ink = next(y for y in range(ref[1]) if min(ref[2][y * w:(y + 1) * w]) < 255)
    def share(top):
        same = total = 0
        for y in range(min(ref[1] - top, got[1])):
            for x in range(w):
                r = ref[2][(top + y) * w + x]
                if r < 64 or r > 192:
                    total += 1
                    same += (r < 64) == (got[2][y * got[0] + x] < 128)
        return same / total
    return max(share(top) for top in range(ink, ink + 6))


def white_before_print(job):
    """Rows of paper the printed job feeds before its first black dot, as
    kvjob render draws the paper."""
    layout = json.loads(run([KVJOB, "render", job, "-o", job + ".png", "--json"]))
    edge = layout["paper"]["margin_left"]  # kvjob's notes stand right of the paper
    w, h, dots = read_pgm(subprocess.run(["convert", job + ".png", "-colorspace", "gray", "-depth", "8", "pgm:-"],
                                         capture_output=True, timeout=20).stdout)
    return next((y for y in range(h) if min(dots[y * w:y * w + edge]) < 128), h)


def files_in(folder):
    return {(f, os.stat(os.path.join(folder, f)).st_mtime_ns) for f in os.listdir(folder)}


def web(base, printer, action, files=None):
    page = base + "/%s/utilities" % printer
    key = re.search(r'name="session" value="([^"]+)"', urllib.request.urlopen(page, timeout=10).read().decode())
    args = ["curl", "-sS", "--max-time", "10", page, "-F", "session=" + key.group(1), "-F", "action=" + action]
    for name, path in (files or {}).items():
        args += ["-F", "%s=@%s;type=image/bmp" % (name, path)]
    return re.search(r'<div class="banner">([^<]*)</div>', run(args)).group(1)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK + "/out")
    os.makedirs(WORK + "/listen")
    make_documents()
    listen = start([KVJOB, "listen", "127.0.0.1:0", "--count", "1", "--keep", WORK + "/listen", "--timeout", "130"],
                   "listen")
    wait_for("kvjob listen", lambda: "listening on" in open(WORK + "/listen.out").read())
    listen_port = int(re.search(r":(\d+)\n", open(WORK + "/listen.out").read()).group(1))
    port = free_port()
    # As root, PAPPL's main loop would take /run/kvprinter.sock from a real
    # service: the test's server runs as nobody, its socket in WORK/tmp.
    os.makedirs(WORK + "/tmp")
    for folder in (WORK, WORK + "/out", WORK + "/tmp"):
        os.chmod(folder, 0o777)
    as_nobody = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"] if os.geteuid() == 0 else []
    server_args = as_nobody + [
        KVPRINTER, "server", "-o", "listen-hostname=127.0.0.1", "-o", "server-hostname=localhost",
        "-o", "server-port=%d" % port, "-o", "spool-directory=" + WORK + "/spool", "-o", "state-file=" +
        WORK + "/kvprinter.state", "-o", "server-options=no-tls", "-o", "log-file=" + WORK + "/kvprinter.log",
        "-o", "log-level=info", "-o", "file-folder=" + WORK + "/out"]
    server = start(server_args, "kvprinter")
    wait_for("kvprinter server", lambda: listening(port))
    system = "ipp://127.0.0.1:%d/ipp/system" % port
    run([KVPRINTER, "add", "-d", "road", "-m", "vrt-q40_180dpi", "-v", "socket://127.0.0.1:%d" % listen_port,
         "-o", "printer-uri=" + system])
    run([KVPRINTER, "add", "-d", "desk", "-m", "vrt-q40_180dpi", "-v", "file://" + WORK + "/out",
         "-o", "printer-uri=" + system])
    desk = "ipp://127.0.0.1:%d/ipp/print/desk" % port

    print(ipptool(desk, "get-printer-attributes.test").strip().splitlines()[-1].strip())
    ipptool(desk, "vendor_options.test")
    print("vendor options and defaults: as the document sheet's")
    listed = run([KVPRINTER, "options", "-d", "desk", "-o", "printer-uri=" + desk]).split("Receipt options:")[-1]
    names = []
    for option, _ in re.findall(r"-o ([a-z-]+)=(\S+)", listed):
        names += [] if option in names else [option]
    print("kvprinter options: %s; defaults %s" % (", ".join(names), " ".join(
        re.findall(r"=(\S+) \(default\)", listed))))
    jobs = [("short.pwg", "image/pwg-raster", 8), ("lying.pwg", "image/pwg-raster", 8),
            ("lying2.pwg", "image/pwg-raster", 8), ("bomb.png", "image/png", 8), ("qr.png", "image/png", 9),
            ("long.pdf", "application/pdf", 8),
            ("notpdf.pdf", "application/pdf", 8), ("receipt.pwg", "image/pwg-raster", 9)]
    for name, fmt, end in jobs:
        sent = {"job-id": send_cut_short(port, "desk", WORK + "/short.pwg")} if name == "short.pwg" else {}
        begin = time.time()
        out = ipptool(desk, "print_and_wait.test", verbose=True, filename=WORK + "/" + name, format=fmt, jobname=name,
                      cutmode="none" if end == 9 else "per-job", drawer="after", endstate=end, **sent)
        print("%s: %s" % (name, out.split("job-state-message (textWithoutLanguage) = ")[-1].splitlines()[0]))
        if name.startswith("lying") or name == "bomb.png":
            print("%s ended in under 5 s: %s" % (name, time.time() - begin < 5))
    # The picture at the top of the paper at its own size: its own white
    # margin above the code (4 modules of 4 dots) is not fed, as a page's
    # white below its print is not; the code follows at once. zbarimg reads
    # it with the white paper a receipt has above it (the feed to the cutter).
    run([KVJOB, "render", WORK + "/out/qr.png.prn", "-o", WORK + "/qr_printed.png"])
    run(["convert", WORK + "/qr_printed.png", "-bordercolor", "white", "-border", "16", WORK + "/qr_paper.png"])
    first = [l for l in run([KVJOB, "decode", WORK + "/out/qr.png.prn"]).splitlines()
             if l.startswith(("feed", "raster"))][:2]
    print("qr.png: %s, zbarimg reads it: %s" % (", ".join(first), run(["zbarimg", "-q", "--raw",
                                                WORK + "/qr_paper.png"]).strip() == QR_TEXT))
    # page-ranges of a PDF: the renderer draws those pages only.
    run([KVPRINTER, "submit", "-d", "desk", "-o", "printer-uri=" + desk, "-o", "page-ranges=2-3",
         WORK + "/five.pdf"])
    def pages_of(path):  # one raster line a page of five.pdf
        return run([KVJOB, "decode", path]).count("raster image") if os.path.exists(path) else 0
    wait_for("the page range printed", lambda: pages_of(WORK + "/out/five.pdf.prn") >= 2, 20)
    time.sleep(0.5)
    print("five.pdf, page-ranges=2-3: %d pages printed" % pages_of(WORK + "/out/five.pdf.prn"))
    # A long PDF cancelled while it prints stops at once; the next job prints.
    job = run([KVPRINTER, "submit", "-d", "desk", "-o", "printer-uri=" + desk, WORK + "/many.pdf"]).strip()
    printed = WORK + "/out/many.pdf.prn"
    wait_for("the long PDF printing", lambda: os.path.exists(printed) and os.path.getsize(printed) > 0, 20)
    run([KVPRINTER, "cancel", "-j", job, "-o", "printer-uri=" + desk])
    begin = time.time()
    ipptool(desk, "print_and_wait.test", verbose=True, filename=WORK + "/receipt.pwg", format="image/pwg-raster",
            jobname="after-cancel", cutmode="per-job", drawer="before", endstate=9)
    size = os.path.getsize(printed)
    time.sleep(0.5)
    pages = run([KVJOB, "decode", printed]).count("raster image")  # one line a page
    print("cancelled PDF: stopped (%s), next job completed in under 5 s: %s" % (
        "%d of %d pages" % (pages, MANY_PAGES) if os.path.getsize(printed) == size and pages < MANY_PAGES else "went on",
        time.time() - begin < 5))
    # Three raster jobs sent at once while a PDF prints: each waits its turn
    # and prints once; none is aborted while its client was told it was taken.
    names = ["three-%s.pwg" % n for n in "abc"]
    for name in names:
        shutil.copy(WORK + "/receipt.pwg", WORK + "/" + name)
    sent = [subprocess.Popen([KVPRINTER, "submit", "-d", "desk", "-o", "printer-uri=" + desk, WORK + "/" + f],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                             env=QUIET_LEAKS)
            for f in ["five.pdf"] + names]
    exits = [p.wait(timeout=30) for p in sent]
    ids = [p.stdout.read().strip() for p in sent]
    def states():  # "ID STATE USER NAME" a job, by id
        return {l.split()[0]: l.split()[1] for l in run([KVPRINTER, "jobs", "-a", "-d", "desk", "-o",
                                                          "printer-uri=" + desk]).splitlines() if len(l.split()) > 3}
    wait_for("the four jobs ended", lambda: all(states().get(i) in ("completed", "aborted", "canceled") for i in ids), 20)
    ended = states()
    printed = [run([KVJOB, "decode", WORK + "/out/" + n + ".prn"]).split("\n", 1)[-1] for n in names]
    print("three raster jobs at once: exits %s, %s, printed alike with a cut: %s, aborted jobs: %d" % (
        " ".join(str(e) for e in exits), " ".join(ended[i] for i in ids[1:]),
        len(set(printed)) == 1 and "raster image" in printed[0] and "cut" in printed[0],
        sum(ended[i] == "aborted" for i in ids)))
    # submit -n 2: the receipt twice in the one job.
    shutil.copy(WORK + "/receipt.pwg", WORK + "/copies.pwg")
    run([KVPRINTER, "submit", "-d", "desk", "-n", "2", "-o", "printer-uri=" + desk, WORK + "/copies.pwg"])
    one = pages_of(WORK + "/out/three-a.pwg.prn")
    wait_for("the copies printed", lambda: pages_of(WORK + "/out/copies.pwg.prn") >= 2 * one, 20)
    time.sleep(0.5)
    print("submit -n 2: %s copies" % (pages_of(WORK + "/out/copies.pwg.prn") / one))
    decoded = run([KVJOB, "decode", WORK + "/out/receipt.pwg.prn"])
    print("cut-mode=none, cash-drawer=after: cuts %d, drawer pulse last: %s" % (
        decoded.count("cut"), decoded.strip().splitlines()[-1].startswith("drawer pulse")))

    cups = start_cupsd("ipp://127.0.0.1:%d/ipp/print/road" % port)
    begin = time.time()
    run(["lp", "-h", cups, "-d", "road", WORK + "/receipt.pdf"])
    wait_for("job at kvjob listen", lambda: listen.poll() is not None, 20)
    print("cupsd -> kvprinter -> kvjob listen: %.1f s" % (time.time() - begin))
    received = WORK + "/listen/job-1.bin"
    run([KVJOB, "render", received, "-o", WORK + "/road.png"])
    print("same as pdftoppm: %.1f%% of its black and white dots" % (100 * compare_with_pdftoppm(WORK + "/road.png")))
    print("zbarimg reads: %s" % run(["zbarimg", "-q", "--raw", WORK + "/road.png"]).strip())

    # The printer's defaults, set over IPP, apply to a PDF that comes
    # through CUPS's driverless queue (which sends no receipt option).
    defaults = [  # option, default value, a line of the printer's bytes, there or not
        ("cut-mode", "none", "cut ", False), ("cash-drawer", "none", "drawer pulse", False),
        ("buzzer", "beep-3", "buzzer 3 times", True), ("logo", "logo-2", "print logo 2", True)]
    test = WORK + "/set_defaults.test"
    open(test, "w").write(
        "{\n NAME \"set the receipt defaults\"\n OPERATION Set-Printer-Attributes\n GROUP operation-attributes-tag\n"
        " ATTR charset attributes-charset utf-8\n ATTR naturalLanguage attributes-natural-language en\n"
        " ATTR uri printer-uri $uri\n GROUP printer-attributes-tag\n%s STATUS successful-ok\n}\n" %
        "".join(" ATTR keyword %s-default %s\n" % (o, v) for o, v, _, _ in defaults))
    ipptool(desk, test)
    run(["lpadmin", "-h", cups, "-p", "desk", "-E", "-v", desk, "-m", "everywhere"])
    before = files_in(WORK + "/out")
    run(["lp", "-h", cups, "-d", "desk", WORK + "/receipt.pdf"])
    wait_for("the job through CUPS", lambda: files_in(WORK + "/out") - before, 20)
    time.sleep(1)  # its end written
    new = sorted(files_in(WORK + "/out") - before)[-1][0]
    lines = [l for l in run([KVJOB, "decode", WORK + "/out/" + new]).splitlines() if not l.startswith(" ")]
    for option, value, line, there in defaults:
        print("%s-default=%s through CUPS: %s" % (option, value, "applies" if any(
            l.startswith(line) for l in lines) == there else "IGNORED"))
    # A PDF page shorter than the queue's paper comes laid out on the 297 mm
    # page: the receipt starts at its first dot all the same.
    before = files_in(WORK + "/out")
    run(["lp", "-h", cups, "-d", "desk", WORK + "/short.pdf"])
    wait_for("the short PDF through CUPS", lambda: files_in(WORK + "/out") - before, 20)
    time.sleep(1)
    new = sorted(files_in(WORK + "/out") - before)[-1][0]
    print("short PDF through CUPS: %d white rows fed before its first dot" % white_before_print(WORK + "/out/" + new))

    base = "http://127.0.0.1:%d" % port
    # A value the printer does not offer is refused as a default, over IPP
    # and on the Printing Defaults page; the default stays as it was.
    page = base + "/desk/printing"
    key = re.search(r'name="session" value="([^"]+)"', urllib.request.urlopen(page, timeout=10).read().decode())
    for option, value, kept in (("cut-mode", "bogus", "none"), ("logo", "logo-99", "logo-2")):
        open(test, "w").write(
            "{\n NAME \"a default not offered\"\n OPERATION Set-Printer-Attributes\n GROUP operation-attributes-tag\n"
            " ATTR charset attributes-charset utf-8\n ATTR naturalLanguage attributes-natural-language en\n"
            " ATTR uri printer-uri $uri\n GROUP printer-attributes-tag\n ATTR keyword %s-default %s\n}\n" % (option, value))
        status = re.search(r"status-code = (\S+)", subprocess.run(["ipptool", "-T", "20", "-tv", desk, test],
                                                                   capture_output=True, text=True).stdout)
        form = run(["curl", "-sS", "--max-time", "10", page, "--data-urlencode", "session=" + key.group(1),
                    "--data-urlencode", "%s=%s" % (option, value)])
        banner = re.search(r'<div class="banner">([^<]*)</div>', form)
        open(test, "w").write(
            "{\n NAME \"the default\"\n OPERATION Get-Printer-Attributes\n GROUP operation-attributes-tag\n"
            " ATTR charset attributes-charset utf-8\n ATTR naturalLanguage attributes-natural-language en\n"
            " ATTR uri printer-uri $uri\n ATTR keyword requested-attributes %s-default\n STATUS successful-ok\n"
            " DISPLAY %s-default\n}\n" % (option, option))
        now = re.search(r"%s-default \(keyword\) = (\S+)" % option, ipptool(desk, test, True))
        print("%s-default=%s: IPP %s, web page: %s, default %s" % (
            option, value, status.group(1) if status else "no answer", banner.group(1) if banner else "no banner",
            "kept" if now and now.group(1) == kept else "now " + (now.group(1) if now else "gone")))
    # The printer's and its jobs' states by name on the web pages, for a
    # browser asking for en-US as for one asking for en.
    for language in ("en-US", "en"):
        def page(path):
            return urllib.request.urlopen(urllib.request.Request(base + path, headers={
                "Accept-Language": language}), timeout=10).read().decode()
        printer = re.search(r"([^\s>][^>,]*), \d+ jobs?", page("/desk"))
        # A job's row: number, name, owner, pages completed, status.
        statuses = re.findall(r"<tr><td>\d+</td><td>[^<]*</td><td>[^<]*</td><td>[^<]*</td><td>([^<]*)</td>",
                              page("/desk/jobs"))
        print("web pages, %s: printer %s, job states %s" % (language, printer.group(1) if printer else "not shown",
              " ".join(sorted({re.sub(r" (at|since) .*", "", s) for s in statuses}))))
    shot = WORK + "/kvprinter_utilities.png"  # the page, with the printer's other pages in its bar
    subprocess.run(["timeout", "-k", "5", "40", "chromium", "--headless", "--no-sandbox", "--disable-gpu",
                    "--no-first-run", "--disable-background-networking", "--disable-component-update",
                    "--disable-sync", "--user-data-dir=" + WORK + "/chromium", "--window-size=900,1300",
                    "--screenshot=" + shot, base + "/desk/utilities"], capture_output=True)
    print("screenshot: %s" % ("written" if os.path.exists(shot) and os.path.getsize(shot) > 10000 else "NONE"))
    run(["convert", "-size", "100x50", "xc:white", "-fill", "black", "-draw", "circle 50,25 50,5",
         "BMP3:" + WORK + "/logo.bmp"])
    for action, files in (("self-test", None), ("download-logos", {"logo1": WORK + "/logo.bmp"})):
        before = files_in(WORK + "/out")
        banner = web(base, "desk", action, files)
        # PAPPL 1.3's file device names these jobs' files oddly: the one written.
        wait_for("%s job's file" % action, lambda: files_in(WORK + "/out") - before)
        new = (files_in(WORK + "/out") - before).pop()[0]
        lines = run([KVJOB, "decode", WORK + "/out/" + new]).splitlines()
        print("%s: %s (%s)" % (action, banner, ", ".join(l for l in lines[1:] if not l.startswith(" "))))

    # ipptool's own IPP suites with a document, on a printer added while the
    # server runs (each Get-Printer-Attributes answer must hold each
    # attribute once, however many came before): what fails is only what
    # PAPPL 1.3 does not give.
    suites = subprocess.run(["ipptool", "-T", "20", "-t", "-f", WORK + "/receipt.pdf", desk, "ipp-1.1.test",
                             "ipp-2.0.test", "ipp-everywhere.test"], capture_output=True, text=True, timeout=120).stdout
    failed = re.findall(r"^\s+(.*\S)\s+\[FAIL\]$", suites, re.M)
    missing = sorted(set(re.findall(r"^\s+EXPECTED: (\S+)$", suites, re.M)))
    other = [l.strip() for l in suites.splitlines() if re.search(r"Duplicate|GOT:|EXPECTED: \S+ ", l)]
    print("ipptool ipp-1.1, ipp-2.0, ipp-everywhere, printer added while running: %d passed, failed: %s; missing: %s; "
          "other faults: %s" % (len(re.findall(r"\[PASS\]$", suites, re.M)), " | ".join(failed) or "none",
                                " ".join(missing) or "none", " | ".join(other) or "none"))

    # A kill while a job prints, and a restart: the cut job is shown
    # aborted under its own id with the reason, its files go, its id is
    # not given again; whether the saved state holds the job as printing or
    # not at all (saved before the job was made, or cut short by the kill).
    # Each time a connection wakes PAPPL's main loop, which saves the job
    # made since, and the state is read until it holds the job printing
    # (PAPPL writes the job's attributes beside its document then); for the
    # first case the job's line is then taken out of the saved state.
    for case, known in (("not in the saved state", False), ("saved as printing", True)):
        name = "cut-%d.pdf" % known
        shutil.copy(WORK + "/many.pdf", WORK + "/" + name)
        cut = int(run([KVPRINTER, "submit", "-d", "desk", "-o", "printer-uri=" + desk, WORK + "/" + name]).strip())
        printed = WORK + "/out/" + name + ".prn"
        wait_for("the job to cut printing", lambda: os.path.exists(printed) and os.path.getsize(printed) > 0, 20)
        job_line = re.compile(r'^Job .*\bid="%d".*$' % cut, re.M)
        listening(port)
        wait_for("the job saved as printing", lambda: any('state="5"' in l for l in job_line.findall(
            open(WORK + "/kvprinter.state", "rb").read().decode(errors="replace"))), 10)
        os.killpg(server.pid, signal.SIGKILL)
        server.wait()
        wait_for("the killed server's port closed", lambda: not listening(port))
        job_files = lambda: [f for f in os.listdir(WORK + "/spool") if "j%09d-" % cut in f]
        files_before = len(job_files())
        if not known:
            state = open(WORK + "/kvprinter.state", "rb").read()
            open(WORK + "/kvprinter.state", "wb").write(re.sub(rb'^Job .*\bid="%d".*\n' % cut, b"", state, flags=re.M))
        server = start(server_args, "kvprinter-again-%d" % known)
        wait_for("kvprinter server again", lambda: listening(port))
        after = int(run([KVPRINTER, "submit", "-d", "desk", "-o", "printer-uri=" + desk, WORK + "/qr.png"]).strip())
        left = job_files()
        said = re.search(r"Job %d of printer \d+ was cut by a stop of the server" % cut,
                         open(WORK + "/kvprinter.log").read()) is not None
        test = WORK + "/cut_job.test"
        open(test, "w").write(
            "{\n NAME \"the cut job\"\n OPERATION Get-Job-Attributes\n GROUP operation-attributes-tag\n"
            " ATTR charset attributes-charset utf-8\n ATTR naturalLanguage attributes-natural-language en\n"
            " ATTR uri printer-uri $uri\n ATTR integer job-id %d\n STATUS successful-ok\n"
            " DISPLAY job-state\n DISPLAY job-state-message\n}\n" % cut)
        shown = ipptool(desk, test, verbose=True)
        state = re.search(r"job-state \(enum\) = (\S+)", shown)
        message = re.search(r"job-state-message \(textWithoutLanguage\) = (.*)", shown)
        print("killed with a job printing, %s: next job %s, its %d files %s, logged: %s, shown: %s, %s" % (
            case, "a new id" if after > cut else "id %d again" % after, files_before,
            "left: " + " ".join(left) if left else "removed", said,
            state.group(1) if state else "no state", message.group(1) if message else "no message"))

try:
    main()
finally:
    end_children(children)
