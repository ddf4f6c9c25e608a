#!/usr/bin/env python3
"""Every tuning key is written once, in its declaration.

A setting is declared in a "...Settings.cpp" of the library that owns it;
every other file reads it through that declaration. A "tuning." string
anywhere else in the code is a second spelling of a key, one a typo would
turn silently into its default. Comments may name keys.

    check_keys.py ROOT     exit 1 with one line per stray key string
"""
import pathlib
import re
import sys

SOURCES = ("engine", "game", "tools")
# The table itself, which adds and strips the prefix.
TABLE = {"engine/core/Settings.cpp", "engine/core/Setting.cpp"}
LITERAL = re.compile(r'"(?:[^"\\\n]|\\.)*"')


def strip_comments(text):
    # Strings first, so that "//" inside one is not taken for a comment.
    out, at = [], 0
    for match in re.finditer(r'"(?:[^"\\\n]|\\.)*"|//[^\n]*|/\*.*?\*/', text, re.S):
        out.append(text[at:match.start()])
        token = match.group(0)
        out.append(token if token.startswith('"') else "\n" * token.count("\n"))
        at = match.end()
    out.append(text[at:])
    return "".join(out)


def keys_in(path):
    code = strip_comments(path.read_text(encoding="utf-8", errors="replace"))
    for number, line in enumerate(code.splitlines(), 1):
        for literal in LITERAL.findall(line):
            if literal.startswith('"tuning.'):
                yield number, literal


def strays(root):
    root = pathlib.Path(root)
    for top in SOURCES:
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in (".cpp", ".h") or not path.is_file():
                continue
            name = path.relative_to(root).as_posix()
            if path.name.endswith("Settings.cpp") or name in TABLE:
                continue
            for number, literal in keys_in(path):
                yield f"{name}:{number}: the key {literal} is spelt outside its declaration"


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    found = list(strays(sys.argv[1]))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
