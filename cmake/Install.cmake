# Installs the libraries, an exported CMake package (find_package(wordloom))
# and the pkg-config files: wordloom (the shared library when it is built,
# else the static modules) and wordloom-static (the static modules).
include(CMakePackageConfigHelpers)

get_property(modules GLOBAL PROPERTY WORDLOOM_MODULES)
set(installed_libraries ${modules})
if(TARGET wordloom_shared)
  list(APPEND installed_libraries wordloom_shared)
endif()
install(TARGETS ${installed_libraries}
  EXPORT wordloomTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# The package config looks for Qt when the dialogs module is part of it.
if(wordloom_dialogs IN_LIST modules)
  set(WORDLOOM_EXPORTS_DIALOGS ON)
else()
  set(WORDLOOM_EXPORTS_DIALOGS OFF)
endif()

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/wordloom)
install(EXPORT wordloomTargets NAMESPACE wordloom:: DESTINATION ${config_dir})
configure_package_config_file(cmake/wordloomConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/wordloomConfig.cmake
  INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/wordloomConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/wordloomConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/wordloomConfigVersion.cmake
  DESTINATION ${config_dir})

file(RELATIVE_PATH WORDLOOM_PC_TO_PREFIX
  ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
# Static libraries in link order: each after those that use it; the static
# core needs utf8proc at link time, the shared library only at run time (its
# consumers need no utf8proc development files).
set(static_libs "-lwordloom-import -lwordloom-core -lwordloom-weaksecurity -lwordloom-randomobject -lwordloom-platform")
set(WORDLOOM_PC_LIBS ${static_libs})
set(WORDLOOM_PC_REQUIRES "Requires: libutf8proc libxxhash zlib")
configure_file(cmake/wordloom.pc.in ${CMAKE_CURRENT_BINARY_DIR}/wordloom-static.pc @ONLY)
if(TARGET wordloom_shared)
  set(WORDLOOM_PC_LIBS -lwordloom)
  set(WORDLOOM_PC_REQUIRES "")
endif()
configure_file(cmake/wordloom.pc.in ${CMAKE_CURRENT_BINARY_DIR}/wordloom.pc @ONLY)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/wordloom.pc
  ${CMAKE_CURRENT_BINARY_DIR}/wordloom-static.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
