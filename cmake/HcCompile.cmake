# Compiler settings shared by every target of the project.

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE Debug CACHE STRING "Build type" FORCE)
endif()
# ccache, where installed, keeps compiled objects between builds. A launcher
# named on the command line or in the environment wins; HC_CCACHE=OFF leaves
# it out. HC_COMPILER_LAUNCHER is for compiler calls of our own (the fuzz
# targets' clang commands).
option(HC_CCACHE "Compile through ccache when it is installed" ON)
find_program(HC_CCACHE_PROGRAM ccache)
set(HC_COMPILER_LAUNCHER "")
if(HC_CCACHE AND HC_CCACHE_PROGRAM)
  foreach(lang C CXX)
    if(NOT CMAKE_${lang}_COMPILER_LAUNCHER)
      set(CMAKE_${lang}_COMPILER_LAUNCHER ${HC_CCACHE_PROGRAM})
    endif()
  endforeach()
  set(HC_COMPILER_LAUNCHER ${HC_CCACHE_PROGRAM})
endif()

# Sanitized debug builds stay fast enough for the suites.
set(CMAKE_CXX_FLAGS_DEBUG "-g -O1")
set(CMAKE_C_FLAGS_DEBUG "-g -O1")

set(HC_WARNINGS -Wall -Wextra -Wpedantic -Wno-unused-parameter)
# GCC 12 warns falsely about std::string concatenation at -O2 (its bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND HC_WARNINGS -Wno-restrict)
endif()
# Unity builds (-DCMAKE_UNITY_BUILD=ON, as scripts/test configures) compile
# each target's sources in batches of eight as one translation unit, which
# parses the shared headers once per batch instead of once per source. The
# sources of a batch share one scope: names at file scope or in anonymous
# namespaces must differ between the sources of one target. Where they can't,
# hc_no_unity() takes a source, or a whole target, out of the batches.
if(CMAKE_UNITY_BUILD)
  if(NOT CMAKE_UNITY_BUILD_BATCH_SIZE)
    set(CMAKE_UNITY_BUILD_BATCH_SIZE 8)
  endif()
  # GCC takes a type from an anonymous namespace, used by a class of a source
  # that is now "included", for a header's and warns.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND HC_WARNINGS -Wno-subobject-linkage)
  endif()
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

# hc_no_unity(target [SOURCES file...])
# Compiles the named sources of a target on their own, outside its unity
# batches (names relative to the calling folder); without SOURCES, the whole
# target is built without batches.
function(hc_no_unity target)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set_source_files_properties(${ARG_SOURCES} TARGET_DIRECTORY ${target}
                                PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  else()
    set_target_properties(${target} PROPERTIES UNITY_BUILD OFF)
  endif()
endfunction()

# Called once all folders are added: targets whose sources Qt's moc reads
# (AUTOMOC, AUTOUIC) build without unity batches, since sources that include
# their own generated meta-object file can't share a translation unit.
function(hc_unity_exclusions)
  if(NOT CMAKE_UNITY_BUILD)
    return()
  endif()
  set(dirs ${CMAKE_SOURCE_DIR})
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    list(APPEND dirs ${subdirs})
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY")
        continue()
      endif()
      get_target_property(automoc ${target} AUTOMOC)
      get_target_property(autouic ${target} AUTOUIC)
      if(automoc OR autouic)
        set_target_properties(${target} PROPERTIES UNITY_BUILD OFF)
      endif()
    endforeach()
  endwhile()
endfunction()
