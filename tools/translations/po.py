"""A reader of the gettext catalogs this project writes (msgid, msgid_plural,
msgstr and msgstr[n], C escapes, flags; obsolete entries skipped)."""
import re


def unquote(text):
    return bytes(text, "utf-8").decode("unicode_escape").encode("latin-1").decode("utf-8")


def entries(path):
    """(msgid, [msgstr forms], fuzzy) of every live entry but the header."""
    found, entry, field, fuzzy = [], None, None, False
    def close():
        if entry and entry["msgid"]:
            found.append((entry["msgid"], entry["plural"], [entry["str"][k] for k in sorted(entry["str"])], fuzzy))
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("#~"):
                continue
            if line.startswith("#,"):
                close()
                entry, fuzzy = None, "fuzzy" in line
                continue
            m = re.match(r'^(msgid|msgid_plural|msgstr(?:\[(\d+)\])?) "(.*)"$', line)
            if m:
                if m.group(1) == "msgid":
                    if entry is not None:
                        close()
                        fuzzy = False
                    entry = {"msgid": "", "plural": None, "str": {}}
                    field = ("msgid", None)
                elif m.group(1) == "msgid_plural":
                    field = ("plural", None)
                    entry["plural"] = ""
                else:
                    field = ("str", int(m.group(2) or 0))
                    entry["str"][field[1]] = ""
                value = unquote(m.group(3))
            elif line.startswith('"') and entry is not None:
                value = unquote(line[1:-1])
            else:
                if not line.strip():
                    close()
                    entry, fuzzy = None, False
                continue
            if field[0] == "str":
                entry["str"][field[1]] += value
            else:
                entry[field[0]] += value
    close()
    return found


def translations(path):
    """msgid -> its (first) translation, for the entries translated and not fuzzy."""
    return {msgid: forms[0] for msgid, _, forms, fuzzy in entries(path) if forms and forms[0] and not fuzzy}
