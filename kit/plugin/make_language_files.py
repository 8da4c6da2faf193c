#!/usr/bin/env python3
"""Builds the plug-in's language files from language_texts.txt.

Writes, beside this script:
  ENG_VRTQ40.res, CHN_VRTQ40.res, CHF_VRTQ40.res  one text file per language
  LANGUAGE_VRTQ40.DAT                             the catalogue of languages
All are INI files in UTF-16LE with a byte-order mark and CR LF line ends, as
the plug-in's profile reader and the Windows profile functions read them.

  make_language_files.py           write the files
  make_language_files.py --check   fail when a written file differs from
                                   what the table gives (stale kit data)
"""
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
TABLE = HERE / "language_texts.txt"

# Raise when a text changes, so that every user's copy is refreshed.
FILE_VERSION = 1

# (text file, display name, system-language choice in that language)
LANGUAGES = [
    ("ENG_VRTQ40.res", "English", "System Language"),
    ("CHN_VRTQ40.res", "简体中文", "系统语言(System)"),
    ("CHF_VRTQ40.res", "繁體中文", "系統語言(System)"),
]
START_FILE = "ENG_VRTQ40.res"


def read_table():
    """[(section, [(key, [english, simplified, traditional])])] in file order."""
    sections = []
    seen = set()
    for number, raw in enumerate(TABLE.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("[") and line.endswith("]"):
            sections.append((line[1:-1], []))
            continue
        fields = [f.strip() for f in line.split(" | ")]
        if len(fields) != 1 + len(LANGUAGES) or not sections:
            sys.exit(f"{TABLE.name}:{number}: expected KEY | English | Simplified | Traditional")
        key = fields[0]
        section = sections[-1][0]
        if (section.upper(), key.upper()) in seen:
            sys.exit(f"{TABLE.name}:{number}: {key} appears twice in [{section}]")
        seen.add((section.upper(), key.upper()))
        sections[-1][1].append((key, fields[1:]))
    return sections


def ini_bytes(lines):
    return "\ufeff".encode("utf-16-le") + "".join(l + "\r\n" for l in lines).encode("utf-16-le")


def build():
    sections = read_table()
    files = {}
    for index, (name, _, _) in enumerate(LANGUAGES):
        lines = ["[FILEVER]", f"INIVERSION={FILE_VERSION}"]
        for section, entries in sections:
            lines += ["", f"[{section}]"]
            lines += [f"{key}={texts[index]}" for key, texts in entries]
        files[name] = ini_bytes(lines)
    lines = ["[FILEVER]", f"INIVERSION={FILE_VERSION}", "", "[LANGUAGE]", f"COUNT={len(LANGUAGES)}"]
    for i, (name, display, system_choice) in enumerate(LANGUAGES):
        lines += [f"Language{i}={display}", f"INI{i}={name}", f"SYSLANG{i}={system_choice}"]
    lines.append(f"CUR_INI={START_FILE}")
    files["LANGUAGE_VRTQ40.DAT"] = ini_bytes(lines)
    return files


def main():
    check = sys.argv[1:] == ["--check"]
    stale = []
    for name, content in build().items():
        path = HERE / name
        if check:
            if not path.exists() or path.read_bytes() != content:
                stale.append(name)
        else:
            path.write_bytes(content)
    if stale:
        sys.exit("stale language files (run make_language_files.py): " + ", ".join(stale))


if __name__ == "__main__":
    main()
