# Installation layout and the Debian package (cpack -G DEB, or ./scripts/build.sh package):
# the programs in bin, the help pages and Qt's Japanese translation in share/ptavelon, the desktop
# entry and the icon where the desktop finds them. The program looks for its help and translation
# beside itself first, then in ../share/ptavelon.
include(GNUInstallDirs)

install(TARGETS pTavelon tavelon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ptavelon/help)

# Qt's own dialogs in Japanese: the translation shipped with the program, so it does not depend
# on the translations package of the Qt it happens to run with.
find_file(TV_QTBASE_JA qtbase_ja.qm
  HINTS ${Qt6_DIR}/../../../../share/qt6/translations ${Qt6_DIR}/../../../translations
  PATHS /usr/share/qt6/translations NO_DEFAULT_PATH)
if(TV_QTBASE_JA)
  install(FILES ${TV_QTBASE_JA} DESTINATION ${CMAKE_INSTALL_DATADIR}/ptavelon/translations)
else()
  message(STATUS "qtbase_ja.qm not found (Debian: qt6-translations-l10n); the package will use Qt's")
endif()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/ptavelon.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/ptavelon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The Debian documents and the manual pages, gzipped as Debian keeps them (-n: no name or time in
# the header, so the same sources give the same package).
find_program(TV_GZIP gzip REQUIRED)
set(TV_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${TV_PACKAGING_OUT}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/man/tavelon.1 ${TV_PACKAGING_OUT}/tavelon.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/man/pTavelon.1 ${TV_PACKAGING_OUT}/pTavelon.1 @ONLY)
set(TV_GZIPPED)
foreach(doc changelog tavelon.1 pTavelon.1)
  add_custom_command(OUTPUT ${TV_PACKAGING_OUT}/${doc}.gz
                     COMMAND ${TV_GZIP} -9nc ${TV_PACKAGING_OUT}/${doc} > ${TV_PACKAGING_OUT}/${doc}.gz
                     DEPENDS ${TV_PACKAGING_OUT}/${doc} VERBATIM)
  list(APPEND TV_GZIPPED ${TV_PACKAGING_OUT}/${doc}.gz)
endforeach()
add_custom_target(tv_package_docs ALL DEPENDS ${TV_GZIPPED})
# A native package (its version has no Debian revision): the changelog is changelog.gz.
install(FILES ${TV_PACKAGING_OUT}/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ptavelon)
install(FILES ${TV_PACKAGING_OUT}/tavelon.1.gz ${TV_PACKAGING_OUT}/pTavelon.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

foreach(size 48 128)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/ptavelon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ptavelon.png)
endforeach()

# The package's version is the project's, which is also the version the main window shows.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pTavelon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "kestran")
set(CPACK_PACKAGE_CONTACT "kestran <support@kestran.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Pavement flatness measurement (平坦性試験)")
# Lines of the long description stay within 80 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Records the deviations read with a profilometer along a pavement, computes\n\
the flatness standard deviation (also by the group-range method), keeps\n\
measurements and master data in local tables and prints the test report and\n\
as-built results forms and the flatness charts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_NAME ptavelon)
set(CPACK_DEBIAN_FILE_NAME "pTavelon_${PROJECT_VERSION}_amd64.deb")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the linked libraries: Qt's platform plugins (the X11 and Wayland windows) and the fonts
# the forms and windows are drawn with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic, fonts-ipafont-mincho")
# gzip: the package builds in seconds; xz saves little on two stripped programs.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)
