# The interface's catalogues: po/<lang>.po compiled into
# <build>/share/locale/<lang>/LC_MESSAGES/tolvanet.mo, where a program run from build/bin finds
# them (<program folder>/../share/locale), and installed at the same place below the prefix.
find_program(MSGFMT msgfmt REQUIRED)  # Debian package gettext (scripts/setup installs it)

set(TOLVANET_LOCALE_DIR ${CMAKE_BINARY_DIR}/share/locale)
file(GLOB TOLVANET_PO_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/*.po)
set(TOLVANET_LANGUAGES)
set(catalogues)
foreach(po ${TOLVANET_PO_FILES})
  get_filename_component(lang ${po} NAME_WE)
  list(APPEND TOLVANET_LANGUAGES ${lang})
  set(dir ${TOLVANET_LOCALE_DIR}/${lang}/LC_MESSAGES)
  add_custom_command(
    OUTPUT ${dir}/tolvanet.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${MSGFMT} --check-format --check-domain -o ${dir}/tolvanet.mo ${po}
    DEPENDS ${po}
    COMMENT "Catalogue ${lang}"
    VERBATIM)
  list(APPEND catalogues ${dir}/tolvanet.mo)
  install(FILES ${dir}/tolvanet.mo DESTINATION ${CMAKE_INSTALL_DATADIR}/locale/${lang}/LC_MESSAGES)
endforeach()
add_custom_target(translations ALL DEPENDS ${catalogues})

# Every text of the sources has its translations: enforced once the template po/tolvanet.pot
# is committed (scripts/update-po makes it), i.e. once every folder is translated.
if(TOLVANET_TESTS AND EXISTS ${CMAKE_SOURCE_DIR}/po/tolvanet.pot)
  enable_testing()
  add_test(NAME po.complete COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-po)
  set_tests_properties(po.complete PROPERTIES TIMEOUT 120)
endif()
