"""The gettext catalogs of po/, read for the tools: the languages LINGUAS
lists, and each catalog's entries. A small, strict reader of what our
catalogs hold (comments and flags, msgctxt/msgid/msgid_plural/msgstr and
msgstr[n] lines and their continuation strings, C escapes); obsolete entries
(#~) are skipped, and anything else is an error naming its line."""
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


def _read(path):
    """Every entry as its fields (keyword -> text) and whether it is fuzzy."""
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
    return entries


def entries(path):
    """(msgid, msgid_plural or None, [msgstr forms], fuzzy) of every entry
    but the header, the forms in order (msgstr, or msgstr[0], [1] ...)."""
    found = []
    for entry, fuzzy in _read(path):
        if not entry.get("msgid"):
            continue
        if "msgstr" in entry:
            forms = [entry["msgstr"]]
        else:
            forms = [entry[k] for k in sorted((k for k in entry if k.startswith("msgstr[")),
                                              key=lambda k: int(k[7:-1]))]
        found.append((entry["msgid"], entry.get("msgid_plural"), forms, fuzzy))
    return found


def translations(path):
    """msgid -> msgstr of the catalog's translated entries without context
    (plural entries give their first form under the singular msgid); fuzzy
    ones count as untranslated, as msgfmt leaves them out of the game's
    catalogs."""
    words = {}
    for entry, fuzzy in _read(path):
        text = entry.get("msgstr", entry.get("msgstr[0]", ""))
        if "msgctxt" in entry or fuzzy or not entry.get("msgid") or not text:
            continue
        words[entry["msgid"]] = text
    return words


def translator(code, po_dir=PO_DIR):
    """A function giving a word in the language `code`: its catalog's
    translation, or the word itself where the catalog has none."""
    words = translations(os.path.join(po_dir, code + ".po"))
    return lambda word: words.get(word, word)
