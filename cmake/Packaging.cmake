# Installation of the programs with their desktop integration and manual pages, and the
# Debian package CPack builds from it (scripts/package.sh).
include(GNUInstallDirs)

install(TARGETS sorvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET sorvane_sound)
  install(TARGETS sorvane_sound LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/sorvane)
endif()
if(TARGET sorvane)
  install(TARGETS sorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(data ${CMAKE_SOURCE_DIR}/data)
set(generated ${CMAKE_BINARY_DIR}/data)
# The version and date of this release go into the manual pages and the metainfo.
foreach(file man/sorvane.1 man/sorvane-cli.1 org.sorvane.Sorvane.metainfo.xml)
  configure_file(${data}/${file} ${generated}/${file} @ONLY)
endforeach()

install(FILES ${generated}/man/sorvane.1 ${generated}/man/sorvane-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${data}/sorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/sorvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${generated}/org.sorvane.Sorvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/sorvane-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME sorvane.xml)
install(FILES ${data}/completion/sorvane-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorvane)
set(CPACK_PACKAGE_VENDOR "The Sorvane developers")
set(CPACK_PACKAGE_CONTACT "The Sorvane developers <developers@sorvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of CD-ROM XA interleaved ADPCM audio files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "editor of CD-ROM XA interleaved ADPCM audio files\n"
    " Sorvane lists the audio channels of a CD-ROM XA interleaved file (.xa), plays\n"
    " them, exports them to WAV, replaces a channel's sound, appends and deletes\n"
    " channels and keeps the file's gaps, in place, without touching the other\n"
    " channels or the data sectors. It comes as a Qt desktop editor, sorvane, and a\n"
    " command-line twin, sorvane-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://sorvane.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found from the linked libraries: the Japanese font the window is laid out for, and
# the Japanese texts of Qt's own dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
