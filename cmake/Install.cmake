# What "cmake --install" puts where, and the Debian package CPack makes of it
# (scripts/package.sh).
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
set(data ${PROJECT_SOURCE_DIR}/data)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/quorvel)

install(TARGETS quorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${data}/quorvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/quorvel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# quorvel-48.png is quorvel.svg drawn at 48x48 ("rsvg-convert -w 48 -h 48"),
# kept in the tree so that building needs no SVG renderer.
install(FILES ${data}/quorvel-48.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME quorvel.png)
install(FILES ${data}/quorvel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${data}/org.quorvel.quorvel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The EFF's word list for passphrases; the program finds it at ../share/quorvel
# from its own folder.
install(FILES ${data}/wordlist_en_eff.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel)
configure_file(${data}/debian/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
install(FILES ${data}/debian/copyright ${PROJECT_BINARY_DIR}/changelog DESTINATION ${docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_CONTACT "Quorvel developers <dev@quorvel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "password generator and encrypted password keeper")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel is a small, fast password keeper for an X11 desktop. It generates\n"
    "random passwords and keeps the chosen ones, each under a free-text\n"
    "description, in a record file encrypted with AES-256-GCM. One FLTK window\n"
    "shows, copies and deletes them, and clears the clipboard after a copy.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://quorvel.org/")
# Depends comes from the libraries the binary links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianCompress.cmake)
include(CPack)
