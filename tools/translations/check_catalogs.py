#!/usr/bin/env python3
"""Checks the translations: every catalog of po/LINGUAS valid and complete
(msgfmt --check, nothing untranslated or fuzzy), holding every text the
sources mark (xgettext run afresh), each translation keeping its English's
placeholders ({1} ...) and line breaks, and drawable by the game's font
(ASCII and Latin-1, and the few marks the game turns into plain ones).

    tools/translations/check_catalogs.py SOURCE_DIR [PO_DIR]
"""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from po import entries  # noqa: E402

# Marks the game's font draws as plain neighbours (engine/core/FontBytes.cpp).
PLAIN = set("\u2018\u2019\u201a\u201c\u201d\u201e\u2010\u2011\u2013\u2014\u2212\u2026\u2009\u202f\u0152\u0153")


def marked_texts(source):
    with tempfile.TemporaryDirectory() as scratch:
        pot = os.path.join(scratch, "fresh.pot")
        files = sorted(os.path.join(root, name) for top in ("engine", "game")
                       for root, _, names in os.walk(os.path.join(source, top))
                       for name in names if name.endswith((".cpp", ".h")))
        subprocess.run(["xgettext", "--from-code=UTF-8", "--language=C++", "--keyword=", "--keyword=tr",
                        "--keyword=trn:1,2", "--keyword=trLater", "-o", pot] + files, check=True)
        return {msgid for msgid, _, _, _ in entries(pot)}


def drawable(text):
    return all(ord(c) < 0x7f or 0xa0 <= ord(c) <= 0xff or c in PLAIN or c == "\n" for c in text) and \
        not any(ord(c) < 0x20 and c != "\n" for c in text)


def main():
    source = sys.argv[1]
    podir = sys.argv[2] if len(sys.argv) > 2 else os.path.join(source, "po")
    with open(os.path.join(podir, "LINGUAS")) as f:
        languages = [l.strip() for l in f if l.strip() and not l.startswith("#")]
    wanted = marked_texts(source)
    problems = []
    for language in languages:
        path = os.path.join(podir, language + ".po")
        done = subprocess.run(["msgfmt", "--check", "--statistics", "-o", os.devnull, path],
                              capture_output=True, text=True)
        said = (done.stdout + done.stderr).strip()
        if done.returncode != 0 or "untranslated" in said or "fuzzy" in said:
            problems.append("%s: %s" % (path, said.replace("\n", " ")))
        have = entries(path)
        missing = wanted - {msgid for msgid, _, _, _ in have}
        for msgid in sorted(missing):
            problems.append("%s: no entry for \"%s\" (run make pot)" % (path, msgid))
        for msgid, plural, forms, fuzzy in have:
            for form in forms:
                if not form:
                    continue
                if set(re.findall(r"\{\d\}", form)) != set(re.findall(r"\{\d\}", msgid)):
                    problems.append("%s: \"%s\" -> \"%s\": not the same placeholders" % (path, msgid, form))
                if form.count("\n") != msgid.count("\n"):
                    problems.append("%s: \"%s\" -> \"%s\": not the same lines" % (path, msgid, form))
                if not drawable(form):
                    problems.append("%s: \"%s\" -> \"%s\": a character the font lacks" % (path, msgid, form))
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print("catalogs: %s complete, %d texts each" % (", ".join(languages), len(wanted)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
