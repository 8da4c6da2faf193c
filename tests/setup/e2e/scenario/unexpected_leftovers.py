#!/usr/bin/env python3
"""The differences of `vmachine diff` that the list of allowed leftovers
does not name.

    unexpected_leftovers.py LEFTOVERS DIFF   prints each difference no entry
                                             matches; exit 1 when there is one

LEFTOVERS holds one entry a line, "PATTERN | REASON": PATTERN matched
against a whole line of the diff's text, "*" standing for any text without
a backslash (within one name of a path), "**" for any text; REASON why the
difference stays. Lines starting with "#" and blank lines are comments."""
import re
import sys


def compiled(pattern):
    parts = [re.escape(p) for p in pattern.split("**")]
    return re.compile(".*".join(part.replace(r"\*", r"[^\\]*") for part in parts) + r"\Z")


def entries(path):
    out = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            pattern, bar, reason = line.partition(" | ")
            if not bar or not reason.strip():
                raise SystemExit("%s:%d: an entry is \"PATTERN | REASON\"" % (path, number))
            out.append(compiled(pattern))
    return out


def main(leftovers, diff):
    patterns = entries(leftovers)
    with open(diff, encoding="utf-8", errors="replace") as f:
        unexpected = [line.rstrip("\n") for line in f
                      if line.strip() and not any(p.match(line.rstrip("\n")) for p in patterns)]
    for line in unexpected:
        print(line)
    return 1 if unexpected else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
