# Installing like any Linux program: the programs in bin/, a menu entry and its icon, the
# documentation and manual pages (the catalogues: cmake/translations.cmake); and a Debian package of the same (scripts/package).
include(GNUInstallDirs)

# The package script builds the three programs itself; installing never builds the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TOLVANET_PROGRAMS)
foreach(program tolvanet tolvanet-cli tolvanet-sim)
  if(TARGET ${program})
    list(APPEND TOLVANET_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${TOLVANET_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(TARGET tolvanet)
  install(FILES ${CMAKE_SOURCE_DIR}/data/tolvanet.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/tolvanet.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# CMAKE_INSTALL_DOCDIR is share/doc/tolvanet: the README with the docs folder beside it, as in
# the sources, so that its links hold.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manual pages made from each program's --help when the programs are built; only in a build
# with the desktop program, the one that is installed (not in the sanitizer build, say).
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
if(HELP2MAN AND GZIP AND TARGET tolvanet)
  set(TOLVANET_MAN_NAME_tolvanet "service and test program for fiscal cash registers")
  set(TOLVANET_MAN_NAME_tolvanet-cli "device commands, scripts and status of a fiscal register")
  set(TOLVANET_MAN_NAME_tolvanet-sim "relay server with simulated fiscal registers")
  set(pages)
  foreach(program ${TOLVANET_PROGRAMS})
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --locale=C.UTF-8
              --version-string=${PROJECT_VERSION} "--name=${TOLVANET_MAN_NAME_${program}}"
              --output=${page} $<TARGET_FILE:${program}>
      COMMAND ${GZIP} -9nf ${page}
      DEPENDS ${program}
      COMMENT "Manual page of ${program}"
      VERBATIM)
    list(APPEND pages ${page}.gz)
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "No manual pages: they need help2man (scripts/setup installs it) and the "
                 "desktop program")
endif()

# The Debian package: build/tolvanet_<version>_amd64.deb, its library dependencies found by
# dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvanet)
set(CPACK_PACKAGE_VENDOR "Tolvanet developers")
set(CPACK_PACKAGE_CONTACT "Tolvanet developers <tolvanet@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service and test utility for fiscal cash registers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A service engineer or a POS developer connects to one fiscal register through\n"
  "a TCP relay server and works it through its whole command set. The package\n"
  "holds the desktop program tolvanet, the command-line tool tolvanet-cli and the\n"
  "register simulator tolvanet-sim.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window system plugins are only recommended by the Qt libraries; the desktop program
# cannot open a window without them.
if(TARGET tolvanet)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  # The toolkit's own texts (standard buttons, file dialogs) in Ukrainian and English.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()
include(CPack)
