# libwordloom.so: the headless library (platform, randomobject, weaksecurity,
# core) as one shared library, built from the objects of the static modules
# beside them, for applications and plugins that load it at run time.
#
# The modules are compiled with hidden symbols; their public headers export
# theirs, so that only the public API is in the dynamic symbol table and the
# internals (namespace wordloom::detail, the private headers) stay inside.
# The SONAME carries the minor version while the major one is 0, as the
# package's version check does (SameMinorVersion), and every exported symbol
# carries the version node WORDLOOM_<major>.<minor> (wordloom.map.in).
set(WORDLOOM_SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})

get_property(shared_modules GLOBAL PROPERTY WORDLOOM_SHARED_MODULES)
set(shared_objects)
foreach(module IN LISTS shared_modules)
  list(APPEND shared_objects $<TARGET_OBJECTS:${module}>)
endforeach()

add_library(wordloom_shared SHARED ${shared_objects})
add_library(wordloom::wordloom ALIAS wordloom_shared)
set_target_properties(wordloom_shared PROPERTIES
  EXPORT_NAME wordloom
  OUTPUT_NAME wordloom
  VERSION ${PROJECT_VERSION}
  SOVERSION ${WORDLOOM_SOVERSION}
  LINKER_LANGUAGE CXX)
target_compile_features(wordloom_shared INTERFACE cxx_std_20)
foreach(module IN LISTS shared_modules)
  get_target_property(module_dir ${module} SOURCE_DIR)
  target_include_directories(wordloom_shared INTERFACE $<BUILD_INTERFACE:${module_dir}/include>)
endforeach()
target_include_directories(wordloom_shared INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

# The libraries the core links: utf8proc for the Unicode word finder,
find_package(PkgConfig REQUIRED)
pkg_check_modules(wordloom_utf8proc REQUIRED IMPORTED_TARGET libutf8proc)
target_link_libraries(wordloom_shared PRIVATE PkgConfig::wordloom_utf8proc)
# The compact forms' hashes (libxxhash) and the encoded files' checksums (zlib).
pkg_check_modules(wordloom_xxhash REQUIRED IMPORTED_TARGET libxxhash)
pkg_check_modules(wordloom_zlib REQUIRED IMPORTED_TARGET zlib)
target_link_libraries(wordloom_shared PRIVATE PkgConfig::wordloom_xxhash PkgConfig::wordloom_zlib)

configure_file(${CMAKE_CURRENT_LIST_DIR}/wordloom.map.in
  ${CMAKE_CURRENT_BINARY_DIR}/wordloom.map @ONLY)
target_link_options(wordloom_shared PRIVATE
  LINKER:--version-script=${CMAKE_CURRENT_BINARY_DIR}/wordloom.map)
set_property(TARGET wordloom_shared APPEND PROPERTY
  LINK_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/wordloom.map)
