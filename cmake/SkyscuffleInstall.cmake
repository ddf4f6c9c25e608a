# Installing the game like any desktop game: the program in bin/, its data in
# share/skyscuffle/ (where the program looks for it, relative to itself), a
# desktop entry, icons in the hicolor theme, AppStream metainfo and a man page.
# `cpack` (make package) turns the same into a Debian package.
include(GNUInstallDirs)

# Debian files a game's program under /usr/games: `make package` sets this to
# "games". The program finds its data from either.
set(SKYSCUFFLE_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING "Where the program is installed, under the prefix")
install(TARGETS skyscuffle RUNTIME DESTINATION ${SKYSCUFFLE_INSTALL_BINDIR})
# The data as the program reads it; the developers' tuning file and notes stay
# in the repository (an installed game takes its tuning from the code's
# defaults and the player's settings).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/ DESTINATION ${CMAKE_INSTALL_DATADIR}/skyscuffle
        PATTERN "tuning.csv" EXCLUDE
        PATTERN "tuning.csv.*" EXCLUDE
        PATTERN "README.md" EXCLUDE)
# The desktop entry and metainfo are installed with their translations (see SkyscuffleCatalogs.cmake).
foreach(size 16 24 32 48 64 128 256 512)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${size}x${size}/skyscuffle.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Man pages and the changelog go compressed, as Debian has them; -n keeps the
# output the same from build to build.
set(SKYSCUFFLE_GZIPPED ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${SKYSCUFFLE_GZIPPED})
foreach(pair "skyscuffle.6;skyscuffle.6.gz" "changelog;changelog.gz")
  list(GET pair 0 source)
  list(GET pair 1 gzipped)
  add_custom_command(OUTPUT ${SKYSCUFFLE_GZIPPED}/${gzipped}
                     COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/${source} > ${SKYSCUFFLE_GZIPPED}/${gzipped}
                     DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source}
                     VERBATIM)
endforeach()
add_custom_target(skyscuffle_docs ALL
                  DEPENDS ${SKYSCUFFLE_GZIPPED}/skyscuffle.6.gz ${SKYSCUFFLE_GZIPPED}/changelog.gz)
install(FILES ${SKYSCUFFLE_GZIPPED}/skyscuffle.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${SKYSCUFFLE_GZIPPED}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/skyscuffle)

# The Debian package. Its runtime dependencies come from the libraries the
# program links (dpkg-shlibdeps), so the list stays true as they change.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skyscuffle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Skyscuffle developers")
set(CPACK_PACKAGE_CONTACT "Skyscuffle developers <skyscuffle-devel@lists.skyscuffle.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "side-view aeroplane dogfights for several players")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/packaging/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Mesa's drivers give an OpenGL context on machines without a graphics card.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
