# Builds the fuzzers with clang-16 in a build of their own beside this one, and
# runs each for a few seconds over its seed corpus as a test. Skipped, with a
# message, where clang-16 or its sanitizer runtime is missing.
find_program(WORDLOOM_CLANGXX16 NAMES clang++-16)
if(NOT WORDLOOM_CLANGXX16 OR NOT EXISTS /usr/lib/llvm-16/lib/clang/16/lib/linux/libclang_rt.fuzzer-x86_64.a)
  message(STATUS "wordloom: clang-16 with libFuzzer not found; fuzz smoke tests skipped")
  return()
endif()

include(ExternalProject)
set(fuzz_build ${CMAKE_BINARY_DIR}/fuzz-build)
ExternalProject_Add(wordloom_fuzzers
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${fuzz_build}
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS
    -DCMAKE_CXX_COMPILER=${WORDLOOM_CLANGXX16}
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
    "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
    -DWORDLOOM_BUILD_FUZZ=ON
    -DWORDLOOM_BUILD_TESTS=OFF
    -DWORDLOOM_BUILD_TOOLS=OFF
    -DWORDLOOM_WITH_QT=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${fuzz_build} -j2
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

include(${PROJECT_SOURCE_DIR}/fuzz/fuzzers.cmake)
foreach(name IN LISTS WORDLOOM_FUZZERS)
  add_test(NAME fuzz.${name}
    COMMAND bash ${PROJECT_SOURCE_DIR}/fuzz/run_fuzzer.sh
      ${fuzz_build}/fuzz/${name}_fuzzer
      ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name}
      ${CMAKE_BINARY_DIR}/fuzz-corpus/${name}
      10)
  set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 120)
endforeach()
