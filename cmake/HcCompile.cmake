# Compiler settings shared by every target of the project.

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE Debug CACHE STRING "Build type" FORCE)
endif()
# Sanitized debug builds stay fast enough for the suites.
set(CMAKE_CXX_FLAGS_DEBUG "-g -O1")
set(CMAKE_C_FLAGS_DEBUG "-g -O1")

set(HC_WARNINGS -Wall -Wextra -Wpedantic -Wno-unused-parameter)
# GCC 12 warns falsely about std::string concatenation at -O2 (its bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND HC_WARNINGS -Wno-restrict)
endif()
if(HC_WERROR)
  list(APPEND HC_WARNINGS -Werror)
endif()

# HC_SANITIZE=thread selects ThreadSanitizer instead (it cannot be combined
# with AddressSanitizer).
if(HC_SANITIZE STREQUAL "thread")
  set(HC_SANITIZE_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${HC_SANITIZE_FLAGS})
  add_link_options(${HC_SANITIZE_FLAGS})
elseif(HC_SANITIZE)
  set(HC_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  add_compile_options(${HC_SANITIZE_FLAGS})
  add_link_options(${HC_SANITIZE_FLAGS})
endif()

# Applies the project's warning set to one of our own targets.
function(hc_target_warnings target)
  target_compile_options(${target} PRIVATE ${HC_WARNINGS})
endfunction()

# Builds a static library from every source below the given folders
# (recursively); folders without sources yet give an interface library.
function(hc_add_library target)
  cmake_parse_arguments(ARG "" "" "DIRS;PUBLIC_INCLUDES;LIBS;PRIVATE_LIBS" ${ARGN})
  set(sources)
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${ARG_PUBLIC_INCLUDES})
    target_link_libraries(${target} PUBLIC ${ARG_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    hc_target_warnings(${target})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${ARG_PUBLIC_INCLUDES})
    target_link_libraries(${target} INTERFACE ${ARG_LIBS})
  endif()
endfunction()
