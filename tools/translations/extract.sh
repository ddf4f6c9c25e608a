#!/bin/bash
# Extracts every text a player reads into po/skyscuffle.pot (the sources'
# tr(), trn() and trLater() calls, the desktop entry and the metainfo), then
# merges the template into each catalog of po/LINGUAS: new texts come in
# untranslated, texts gone are kept as obsolete at the end.
#   tools/translations/extract.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

sources=$(find engine game -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
# shellcheck disable=SC2086
xgettext --from-code=UTF-8 --language=C++ --keyword= --keyword=tr --keyword=trn:1,2 --keyword=trLater \
  --add-comments=TRANSLATORS: --sort-by-file --package-name=Skyscuffle \
  -o po/skyscuffle.pot $sources
xgettext --join-existing --from-code=UTF-8 --add-comments=TRANSLATORS: -o po/skyscuffle.pot \
  packaging/skyscuffle.desktop packaging/io.github.skyscuffle.skyscuffle.metainfo.xml

while read -r language; do
  [[ -z "$language" || "$language" == \#* ]] && continue
  if [[ -f "po/$language.po" ]]; then
    msgmerge --quiet --update --backup=none "po/$language.po" po/skyscuffle.pot
  else
    msginit --no-translator --locale="$language.UTF-8" -i po/skyscuffle.pot -o "po/$language.po"
  fi
done < po/LINGUAS
