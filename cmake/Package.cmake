# What an installed Wordloom brings beside the libraries: the manual pages,
# bash completion, the editor's desktop entry and icon, and the documents;
# and `cpack -G DEB`, a Debian package of all of it whose dependencies
# dpkg-shlibdeps finds from the programs and the shared library.

if(WORDLOOM_BUILD_TOOLS)
  set(man_pages wordloom)
  if(WORDLOOM_WITH_QT)
    list(APPEND man_pages wordloom-editor)
  endif()
  foreach(page IN LISTS man_pages)
    set(VERSION ${PROJECT_VERSION})
    configure_file(docs/man/${page}.1 ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1 @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  install(FILES cli/completion/wordloom.bash
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME wordloom)
  if(WORDLOOM_WITH_QT)
    install(FILES editor/wordloom-editor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES editor/wordloom-editor.svg
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endif()
endif()

install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR} PATTERN man EXCLUDE)

set(CPACK_PACKAGE_NAME wordloom)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dictionary and spell-checking components, tool and editor")
set(CPACK_PACKAGE_DESCRIPTION
  "Wordloom learns dictionaries from text, checks words and text against them and\n"
  "proposes corrections, most likely first. The package holds the wordloom tool\n"
  "(with an ispell-compatible pipe mode), the wordloom-editor text editor, the\n"
  "default English dictionary, the shared and static libraries with their\n"
  "headers, CMake package and pkg-config files.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "Wordloom developers <wordloom@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared library's own shlibs entry, and the ldconfig trigger with it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# Building against the static libraries needs utf8proc's development files.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libutf8proc-dev, pkg-config")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_GENERATOR DEB)
include(CPack)
