# Test and benchmark helpers.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
include(GoogleTest)

# hc_add_gtest(NAME name DIRS folder... LIBS lib...)
# One test program from every *.cpp of the folders; each test case becomes a ctest.
function(hc_add_gtest)
  cmake_parse_arguments(ARG "" "NAME" "DIRS;SOURCES;LIBS" ${ARGN})
  set(sources ${ARG_SOURCES})
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  add_executable(${ARG_NAME} ${sources})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_compile_definitions(${ARG_NAME} PRIVATE HC_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  hc_target_warnings(${ARG_NAME})
  gtest_discover_tests(${ARG_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300)
endfunction()
