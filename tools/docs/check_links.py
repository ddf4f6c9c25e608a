#!/usr/bin/env python3
"""Checks that every relative link in the project's Markdown leads somewhere.

    check_links.py [SOURCE_ROOT] [FILE.md ...]

Reads README.md, ARCHITECTURE.md and docs/*.md under SOURCE_ROOT (the
repository holding this script by default), or the files named. Each link or
image whose target has no scheme must name a file or directory that exists
inside the repository, and a `#anchor` must name a heading of the Markdown
file it points into (GitHub's rule: the heading in lower case, punctuation
dropped, blanks turned into dashes, `-1`, `-2` after repeats). Links to web
addresses are not followed: the suite runs without a network.

Prints one line per broken link, `FILE:LINE: TARGET: what is wrong`, and a
count; exit status 1 when any is broken, 2 when a file cannot be read.
"""

import re
import sys
from pathlib import Path

# [text](target "title") and ![alt](target); the text may hold one level of
# brackets, as an image inside a link does.
INLINE_LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\[\]]*\])*\]\(\s*<?([^()\s>]*(?:\([^()\s]*\)[^()\s>]*)*)>?(?:\s+[\"'(][^)]*)?\)")
# [label]: target, a reference definition on a line of its own.
REFERENCE_DEFINITION = re.compile(r"^ {0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s+.*)?$")
ATX_HEADING = re.compile(r"^ {0,3}(#{1,6})\s+(.*?)\s*#*\s*$")
SETEXT_UNDERLINE = re.compile(r"^ {0,3}(=+|-+)\s*$")
FENCE = re.compile(r"^ {0,3}(`{3,}|~{3,})")
HTML_ANCHOR = re.compile(r"<a\s+[^>]*(?:name|id)\s*=\s*[\"']([^\"']+)[\"']", re.IGNORECASE)
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*:")
CODE_SPAN = re.compile(r"(`+)(.+?)\1")


def prose_lines(text):
    """The lines of a Markdown text with their numbers, fenced code left out
    and code spans blanked: neither holds links."""
    fence = None
    for number, line in enumerate(text.split("\n"), start=1):
        opening = FENCE.match(line)
        if fence:
            if opening and opening.group(1)[0] == fence[0] and len(opening.group(1)) >= len(fence):
                fence = None
            continue
        if opening:
            fence = opening.group(1)
            continue
        yield number, CODE_SPAN.sub(lambda span: " " * len(span.group(0)), line)


def slug(heading):
    """The anchor GitHub gives a heading."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link's text stays
    text = re.sub(r"<[^>]+>", "", text)  # inline HTML goes
    text = text.strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors_of(text):
    """Every anchor a Markdown text offers: its headings' and its HTML ones'."""
    anchors = set()
    seen = {}
    previous = ""
    fence = None
    for line in text.split("\n"):
        opening = FENCE.match(line)
        if fence:
            if opening and opening.group(1)[0] == fence[0] and len(opening.group(1)) >= len(fence):
                fence = None
            previous = ""
            continue
        if opening:
            fence = opening.group(1)
            previous = ""
            continue
        heading = None
        atx = ATX_HEADING.match(line)
        if atx:
            heading = atx.group(2)
        elif SETEXT_UNDERLINE.match(line) and previous.strip() and not previous.lstrip().startswith(("-", "*", "|")):
            heading = previous
        if heading is not None:
            base = slug(heading)
            count = seen.get(base, 0)
            seen[base] = count + 1
            anchors.add(base if count == 0 else f"{base}-{count}")
        anchors.update(HTML_ANCHOR.findall(line))
        previous = line
    return anchors


def targets_of(text):
    """(line number, target) of every link, image and reference definition."""
    for number, line in prose_lines(text):
        for match in INLINE_LINK.finditer(line):
            yield number, match.group(1)
        definition = REFERENCE_DEFINITION.match(line)
        if definition:
            yield number, definition.group(1)


class Checker:
    def __init__(self, root):
        self.root = root.resolve()
        self.anchor_cache = {}
        self.checked = 0

    def anchors(self, path):
        if path not in self.anchor_cache:
            self.anchor_cache[path] = anchors_of(path.read_text(encoding="utf-8"))
        return self.anchor_cache[path]

    def problem(self, source, target):
        """What is wrong with one link of `source`, or None."""
        if not target:
            return "the link is empty"
        if SCHEME.match(target) or target.startswith("//"):
            return None  # a web address or mail: not followed offline
        path_part, _, anchor = target.partition("#")
        if path_part.startswith("/"):
            return "an absolute path only works on one machine: write it relative to this file"
        destination = (source.parent / path_part).resolve() if path_part else source
        if destination != self.root and self.root not in destination.parents:
            return "it leads out of the repository"
        if not destination.exists():
            return f"no such file: {destination.relative_to(self.root)}"
        if not anchor:
            return None
        if destination.is_dir() or destination.suffix.lower() != ".md":
            return f"#{anchor} points into {destination.relative_to(self.root)}, which has no headings"
        try:
            anchors = self.anchors(destination)
        except (OSError, UnicodeDecodeError):
            return f"{destination.relative_to(self.root)} cannot be read for its headings"
        if anchor not in anchors:
            return f"no heading #{anchor} in {destination.relative_to(self.root)}"
        return None

    def check(self, source):
        """The broken links of one file, as printable lines."""
        text = source.read_text(encoding="utf-8")
        shown = source.resolve().relative_to(self.root) if self.root in source.resolve().parents else source
        for number, target in targets_of(text):
            self.checked += 1
            problem = self.problem(source.resolve(), target)
            if problem:
                yield f"{shown}:{number}: {target}: {problem}"


def default_files(root):
    return [root / "README.md", root / "ARCHITECTURE.md", *sorted((root / "docs").glob("*.md"))]


def main(arguments):
    root = Path(arguments[0]) if arguments else Path(__file__).resolve().parent.parent.parent
    files = [Path(name) for name in arguments[1:]] or default_files(root)
    checker = Checker(root)
    broken = 0
    for source in files:
        try:
            for line in checker.check(source):
                print(line)
                broken += 1
        except OSError as error:
            print(f"{source}: cannot be read: {error.strerror}", file=sys.stderr)
            return 2
        except UnicodeDecodeError:
            print(f"{source}: cannot be read: not UTF-8 text", file=sys.stderr)
            return 2
    if broken:
        print(f"{broken} of {checker.checked} link(s) in {len(files)} file(s) broken")
        return 1
    print(f"all {checker.checked} link(s) of {len(files)} file(s) lead somewhere")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
