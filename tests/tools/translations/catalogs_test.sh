#!/usr/bin/env bash
# The catalogs are complete and sound, and the check says so when they are
# not: a text left untranslated, a placeholder lost, a line break added, a
# character the font lacks, a text the sources mark that no catalog has.
set -euo pipefail
source=$1
check=$source/tools/translations/check_catalogs.py
python3 "$check" "$source"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
plant() { # NAME SED-SCRIPT: a copy of the catalogs with one fault in de.po
    mkdir -p "$scratch/$1"
    cp "$source"/po/LINGUAS "$source"/po/*.po "$scratch/$1/"
    sed -i "$2" "$scratch/$1/de.po"
    cmp -s "$source/po/de.po" "$scratch/$1/de.po" && { echo "FAIL: the planted $1 did not take"; exit 1; }
    if python3 "$check" "$source" "$scratch/$1" >"$scratch/$1.said" 2>&1; then
        echo "FAIL: a catalog with $1 passed"; exit 1
    fi
    grep -q "$3" "$scratch/$1.said" || { echo "FAIL: $1 not named"; cat "$scratch/$1.said"; exit 1; }
}
plant untranslated '/^msgid "Options"$/{n;s/^msgstr .*/msgstr ""/}' 'untranslated'
plant placeholder '/^msgid "{1} wins the match!"$/{n;s/{1}/jemand/}' 'placeholders'
plant "line break" '/^msgid "Paused"$/{n;s/"$/\\n"/}' 'lines'
plant "character" '/^msgid "Back"$/{n;s/^msgstr .*/msgstr "Zur\xc3\xbcck \xe2\x86\x90"/}' 'font lacks'
plant "missing text" '/^msgid "Back"$/,/^$/d' 'run make pot'
echo "catalogs: checked"
