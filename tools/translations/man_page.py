#!/usr/bin/env python3
"""Writes the manual page in a language: the English page with its NAME line
and its DESCRIPTION in that language's words, taken from the catalog's
translations of the metainfo's summary and paragraphs (the same words the
software centres show). The options, files and the rest stay as written.

    tools/translations/man_page.py PAGE CATALOG OUT
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from po import translations  # noqa: E402

SUMMARY = "Side-view aeroplane dogfights for several players"
PARAGRAPHS = (
    "Planes fly in one vertical plane inside a walled stage. Steer with a stick or the keys, dash, ram, shoot, "
    "pick up bombs, a gatling gun, a shotgun, speed and health, and score two points for every kill before the "
    "clock runs out.",
    "Players join on one machine with the keyboard or game pads, computer pilots fill the sky, and copies of the "
    "game on one local network find each other and play one match together.",
)


def troff(text):
    """Plain text as a troff paragraph: backslashes doubled, no line starting with a dot or quote."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return re.sub(r"^([.'])", r"\\&\1", text, flags=re.M)


def main():
    page, catalog, out = sys.argv[1:4]
    words = translations(catalog)
    missing = [text for text in (SUMMARY,) + PARAGRAPHS if text not in words]
    if missing:
        sys.exit("%s: no translation of \"%s\"" % (catalog, missing[0]))
    lines = open(page, encoding="utf-8").read().split("\n")
    name = lines.index(".SH NAME")
    lines[name + 1] = "skyscuffle \\- " + troff(words[SUMMARY])
    start = lines.index(".SH DESCRIPTION") + 1
    end = next(i for i in range(start, len(lines)) if lines[i].startswith(".SH "))
    lines[start:end] = [troff(words[PARAGRAPHS[0]]), ".PP", troff(words[PARAGRAPHS[1]])]
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
