# libFuzzer targets, built with clang beside the main build (libFuzzer comes
# with clang, the project may be built by another compiler) and run briefly
# as tests.
#
# hc_add_fuzz_test(NAME program TEST test-name SOURCES files...
#                  [PKG pkg-config modules...] [LINK -lfoo...]
#                  [SECONDS n] [MAX_LEN n] [DICT file] [SEEDS folder]
#                  [FIXTURES fixture...])
function(hc_add_fuzz_test)
  cmake_parse_arguments(ARG "" "NAME;TEST;SECONDS;MAX_LEN;DICT;SEEDS" "SOURCES;PKG;LINK;FIXTURES" ${ARGN})
  find_program(HC_CLANGXX NAMES clang++ clang++-16 clang++-15 clang++-14)
  if(NOT HC_CLANGXX)
    message(STATUS "clang++ not found: ${ARG_NAME} is not built")
    return()
  endif()
  set(pkg_cflags)
  set(pkg_libs)
  if(ARG_PKG)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(HC_FUZZ_${ARG_NAME} REQUIRED ${ARG_PKG})
    set(pkg_cflags ${HC_FUZZ_${ARG_NAME}_CFLAGS})
    set(pkg_libs ${HC_FUZZ_${ARG_NAME}_LINK_LIBRARIES})
  endif()
  set(flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  set(program ${CMAKE_CURRENT_BINARY_DIR}/clang/${ARG_NAME})
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/clang)
  set(headers)
  foreach(source ${ARG_SOURCES})
    get_filename_component(folder ${source} DIRECTORY)
    file(GLOB folder_headers CONFIGURE_DEPENDS ${folder}/*.h)
    list(APPEND headers ${folder_headers})
  endforeach()
  list(REMOVE_DUPLICATES headers)
  add_custom_command(
    OUTPUT ${program}
    COMMAND ${HC_CLANGXX} -std=c++20 -g -O1 ${flags} -I${CMAKE_SOURCE_DIR} ${pkg_cflags}
            ${ARG_SOURCES} ${pkg_libs} ${ARG_LINK} -o ${program}
    DEPENDS ${ARG_SOURCES} ${headers}
    COMMENT "Building ${ARG_NAME} with clang"
    VERBATIM)
  add_custom_target(${ARG_NAME} ALL DEPENDS ${program})

  if(NOT HC_BUILD_TESTS)
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 10)
  endif()
  if(NOT ARG_MAX_LEN)
    set(ARG_MAX_LEN 4096)
  endif()
  # New inputs go to a corpus in the build folder, never to the seeds.
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  set(run_args -max_total_time=${ARG_SECONDS} -timeout=10 -max_len=${ARG_MAX_LEN} -rss_limit_mb=2048)
  if(ARG_DICT)
    list(APPEND run_args -dict=${ARG_DICT})
  endif()
  list(APPEND run_args ${corpus})
  if(ARG_SEEDS)
    list(APPEND run_args ${ARG_SEEDS})
  endif()
  add_test(NAME ${ARG_TEST} COMMAND ${program} ${run_args})
  set_tests_properties(${ARG_TEST} PROPERTIES TIMEOUT 180)
  if(ARG_FIXTURES)
    set_tests_properties(${ARG_TEST} PROPERTIES FIXTURES_REQUIRED "${ARG_FIXTURES}")
  endif()
endfunction()
