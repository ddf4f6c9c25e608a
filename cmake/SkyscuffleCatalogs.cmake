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
add_custom_target(catalogs ALL DEPENDS ${SKYSCUFFLE_CATALOGS})
install(DIRECTORY ${PROJECT_BINARY_DIR}/locale/ DESTINATION ${CMAKE_INSTALL_LOCALEDIR})

if(SKYSCUFFLE_XGETTEXT AND SKYSCUFFLE_MSGMERGE)
  add_custom_target(pot
    COMMAND ${PROJECT_SOURCE_DIR}/tools/translations/extract.sh ${PROJECT_SOURCE_DIR}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Extracting the texts into po/skyscuffle.pot"
    VERBATIM)
endif()
