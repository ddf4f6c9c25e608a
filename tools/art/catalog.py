"""The translations in po/, for the pictures that carry words: the languages
po/LINGUAS lists and each catalog's msgid -> msgstr. A small reader for what
our catalogs hold (comments, msgctxt/msgid/msgid_plural/msgstr lines and
their continuation strings, C escapes); entries marked fuzzy count as
untranslated, as msgfmt leaves them out of the game's catalogs."""
import os

PO_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "po"))

_ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\"}


def languages(po_dir=PO_DIR):
    """The codes in LINGUAS, in its order (one or more a line, # comments)."""
    codes = []
    with open(os.path.join(po_dir, "LINGUAS"), encoding="utf-8") as f:
        for line in f:
            codes += line.split("#", 1)[0].split()
    return codes


def _unquote(text, where):
    text = text.strip()
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise ValueError("%s: expected a quoted string" % where)
    out, k, body = [], 0, text[1:-1]
    while k < len(body):
        c = body[k]
        if c == "\\":
            if k + 1 >= len(body) or body[k + 1] not in _ESCAPES:
                raise ValueError("%s: unknown escape in %s" % (where, text))
            out.append(_ESCAPES[body[k + 1]])
            k += 2
        else:
            out.append(c)
            k += 1
    return "".join(out)


def translations(path):
    """msgid -> msgstr of the catalog's translated entries without context
    (plural entries give their first form under the singular msgid)."""
    entries = []
    entry, field, fuzzy, entry_fuzzy = {}, None, False, False
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            where = "%s:%d" % (path, number)
            if not line:
                continue
            if line.startswith("#"):
                if line.startswith("#,") and "fuzzy" in line[2:].replace(",", " ").split():
                    fuzzy = True
                continue
            if line.startswith('"'):
                if field is None:
                    raise ValueError("%s: a string outside an entry" % where)
                entry[field] += _unquote(line, where)
                continue
            keyword, _, rest = line.partition(" ")
            if keyword not in ("msgctxt", "msgid", "msgid_plural", "msgstr") and not keyword.startswith("msgstr["):
                raise ValueError("%s: unknown keyword %s" % (where, keyword))
            if keyword in ("msgctxt", "msgid") and "msgid" in entry:
                entries.append((entry, entry_fuzzy))
                entry = {}
            if not entry:
                entry_fuzzy, fuzzy = fuzzy, False
            field = keyword
            entry[field] = _unquote(rest, where)
    if entry:
        entries.append((entry, entry_fuzzy))
    words = {}
    for entry, is_fuzzy in entries:
        text = entry.get("msgstr", entry.get("msgstr[0]", ""))
        if "msgctxt" in entry or is_fuzzy or not entry.get("msgid") or not text:
            continue
        words[entry["msgid"]] = text
    return words


def translator(code, po_dir=PO_DIR):
    """A function giving a word in the language `code`: its catalog's
    translation, or the word itself where the catalog has none."""
    words = translations(os.path.join(po_dir, code + ".po"))
    return lambda word: words.get(word, word)
