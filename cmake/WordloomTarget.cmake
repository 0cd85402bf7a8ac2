# Shared settings for every Wordloom target: C++20 and the warning set.
function(wordloom_target_settings target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(WORDLOOM_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# Adds a library module: a static library with its public headers under
# include/, exported as wordloom::<name>. IN_SHARED: its objects go into the
# shared library libwordloom too (cmake/SharedLibrary.cmake), so it is
# compiled with hidden symbols; its public headers export theirs with
# "#pragma GCC visibility push(default)".
function(wordloom_add_module name)
  cmake_parse_arguments(ARG "IN_SHARED" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(wordloom_${name} STATIC ${ARG_SOURCES})
  add_library(wordloom::${name} ALIAS wordloom_${name})
  set_target_properties(wordloom_${name} PROPERTIES
    EXPORT_NAME ${name}
    OUTPUT_NAME wordloom-${name}
    POSITION_INDEPENDENT_CODE ON)
  target_include_directories(wordloom_${name} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_link_libraries(wordloom_${name} PUBLIC ${ARG_DEPENDS})
  wordloom_target_settings(wordloom_${name})
  set_property(GLOBAL APPEND PROPERTY WORDLOOM_MODULES wordloom_${name})
  if(ARG_IN_SHARED)
    set_target_properties(wordloom_${name} PROPERTIES CXX_VISIBILITY_PRESET hidden)
    set_property(GLOBAL APPEND PROPERTY WORDLOOM_SHARED_MODULES wordloom_${name})
  endif()
  install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endfunction()
