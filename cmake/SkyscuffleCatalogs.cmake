# The translations: each catalog in po/ (the languages po/LINGUAS lists)
# checked and compiled with msgfmt into <build>/locale/<code>/LC_MESSAGES/
# skyscuffle.mo, where the game looks beside its build, and installed under
# share/locale. `cmake --build <dir> --target pot` extracts the texts anew into
# po/skyscuffle.pot and merges them into every catalog.
find_program(SKYSCUFFLE_MSGFMT msgfmt REQUIRED)
find_program(SKYSCUFFLE_XGETTEXT xgettext)
find_program(SKYSCUFFLE_MSGMERGE msgmerge)

file(STRINGS ${PROJECT_SOURCE_DIR}/po/LINGUAS SKYSCUFFLE_LANGUAGES REGEX "^[^#]")
set(SKYSCUFFLE_CATALOGS)
foreach(language IN LISTS SKYSCUFFLE_LANGUAGES)
  set(po ${PROJECT_SOURCE_DIR}/po/${language}.po)
  set(mo ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES/skyscuffle.mo)
  add_custom_command(OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES
    COMMAND ${SKYSCUFFLE_MSGFMT} --check -o ${mo} ${po}
    DEPENDS ${po}
    COMMENT "Catalog ${language}")
  list(APPEND SKYSCUFFLE_CATALOGS ${mo})
endforeach()
# The desktop entry and the metainfo with every language's words in them, and
# a manual page per language with its name line and description translated.
set(SKYSCUFFLE_PO_FILES)
foreach(language IN LISTS SKYSCUFFLE_LANGUAGES)
  list(APPEND SKYSCUFFLE_PO_FILES ${PROJECT_SOURCE_DIR}/po/${language}.po)
endforeach()
set(SKYSCUFFLE_TRANSLATED ${PROJECT_BINARY_DIR}/packaging/translated)
set(SKYSCUFFLE_DESKTOP ${SKYSCUFFLE_TRANSLATED}/skyscuffle.desktop)
set(SKYSCUFFLE_METAINFO ${SKYSCUFFLE_TRANSLATED}/io.github.skyscuffle.skyscuffle.metainfo.xml)
add_custom_command(OUTPUT ${SKYSCUFFLE_DESKTOP} ${SKYSCUFFLE_METAINFO}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SKYSCUFFLE_TRANSLATED}
  COMMAND ${SKYSCUFFLE_MSGFMT} --desktop --template=${PROJECT_SOURCE_DIR}/packaging/skyscuffle.desktop
          -d ${PROJECT_SOURCE_DIR}/po -o ${SKYSCUFFLE_DESKTOP}
  COMMAND ${SKYSCUFFLE_MSGFMT} --xml
          --template=${PROJECT_SOURCE_DIR}/packaging/io.github.skyscuffle.skyscuffle.metainfo.xml
          -d ${PROJECT_SOURCE_DIR}/po -o ${SKYSCUFFLE_METAINFO}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/skyscuffle.desktop
          ${PROJECT_SOURCE_DIR}/packaging/io.github.skyscuffle.skyscuffle.metainfo.xml ${SKYSCUFFLE_PO_FILES}
  COMMENT "Desktop entry and metainfo in every language")
set(SKYSCUFFLE_MAN_PAGES)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
foreach(language IN LISTS SKYSCUFFLE_LANGUAGES)
  set(page ${SKYSCUFFLE_TRANSLATED}/man/${language}/skyscuffle.6)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SKYSCUFFLE_TRANSLATED}/man/${language}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/translations/man_page.py
            ${PROJECT_SOURCE_DIR}/packaging/skyscuffle.6 ${PROJECT_SOURCE_DIR}/po/${language}.po ${page}
    COMMAND gzip -9 -n -f ${page}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/skyscuffle.6 ${PROJECT_SOURCE_DIR}/po/${language}.po
            ${PROJECT_SOURCE_DIR}/tools/translations/man_page.py ${PROJECT_SOURCE_DIR}/tools/translations/po.py
    COMMENT "Manual page ${language}")
  list(APPEND SKYSCUFFLE_MAN_PAGES ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}/man6)
endforeach()
add_custom_target(catalogs ALL DEPENDS ${SKYSCUFFLE_CATALOGS} ${SKYSCUFFLE_DESKTOP} ${SKYSCUFFLE_METAINFO}
                                       ${SKYSCUFFLE_MAN_PAGES})
install(DIRECTORY ${PROJECT_BINARY_DIR}/locale/ DESTINATION ${CMAKE_INSTALL_LOCALEDIR})
install(FILES ${SKYSCUFFLE_DESKTOP} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SKYSCUFFLE_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

if(SKYSCUFFLE_XGETTEXT AND SKYSCUFFLE_MSGMERGE)
  add_custom_target(pot
    COMMAND ${PROJECT_SOURCE_DIR}/tools/translations/extract.sh ${PROJECT_SOURCE_DIR}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Extracting the texts into po/skyscuffle.pot"
    VERBATIM)
endif()
