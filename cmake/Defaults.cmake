# Settings every target of our own gets (outside libraries do not: their
# warnings are not ours to fix).
#
#   project_target_defaults(<target>)
#     -Werror on top of the global -Wall -Wextra; the wide-character API by
#     default; Windows 7 as the lowest system; no min/max macros. On the
#     64-bit target also -Wconversion: a pointer-sized value (an address,
#     LPARAM, UINT_PTR, size_t, the kernel entry's result) that would be cut
#     to 32 bits without a cast written out fails the build there.
#   project_mapped_image(<target>)
#     For the programs that stay resident: sections laid out on whole pages
#     in the file, so the loader maps the program from the file instead of
#     copying it into private memory (Wine copies every section whose file
#     offset is not page-aligned), and without the debugging sections the
#     static libraries bring along.
#   project_unicode_entry(<target>)
#     For programs entered through wWinMain or wmain (-municode at compile and
#     link time). Never for GoogleTest programs: they use gtest's main.
#   project_ole32_first(<target> <def file>)
#     For a resident program that initialises COM: ole32.dll first in its
#     import table. Wine's ole32 wants the addresses of version.dll and
#     shcore.dll, which user32 and shell32 load; whichever DLL is mapped
#     second is relocated, its code copied into private memory: 0.75 MB for
#     ole32, some 50 KB for the two small ones. The linker orders imports by
#     the paths of the import libraries as they appear on its command line;
#     the system's are absolute, so an import library of our own named by a
#     path that begins "./" (made from <def file>, which lists the ole32
#     functions the program calls) puts ole32 at the head.

function(project_target_defaults target)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:-Werror>")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:-Wconversion>")
  endif()
  target_compile_definitions(${target} PRIVATE
    UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
endfunction()

function(project_unicode_entry target)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:-municode>")
  target_link_options(${target} PRIVATE -municode)
endfunction()

function(project_ole32_first target def)
  set(lib "${CMAKE_CURRENT_BINARY_DIR}/${target}_ole32_first.a")
  set(def_file "${CMAKE_CURRENT_SOURCE_DIR}/${def}")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # x64 has one calling convention and no @N decorations: the same list
    # without them.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${def_file}")
    file(READ "${def_file}" text)
    string(REGEX REPLACE "@[0-9]+" "" text "${text}")
    set(def_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_ole32_imports.def")
    file(CONFIGURE OUTPUT "${def_file}" CONTENT "${text}" @ONLY)
    set(dlltool_args -m i386:x86-64)
  else()
    set(dlltool_args -m i386 -k)
  endif()
  add_custom_command(OUTPUT "${lib}"
    COMMAND ${CMAKE_COMMAND} -E rm -f "${lib}"
    COMMAND "${CMAKE_DLLTOOL}" ${dlltool_args} -d "${def_file}" -l "${lib}" -t 0ole32
    DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${def}"
    COMMENT "ole32 import library that sorts first for ${target}")
  add_custom_target(${target}_ole32_first DEPENDS "${lib}")
  add_dependencies(${target} ${target}_ole32_first)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${lib}")
  # Makefiles link in the target's folder, Ninja in the top one.
  if(CMAKE_GENERATOR MATCHES "Ninja")
    file(RELATIVE_PATH rel "${CMAKE_BINARY_DIR}" "${lib}")
  else()
    file(RELATIVE_PATH rel "${CMAKE_CURRENT_BINARY_DIR}" "${lib}")
  endif()
  # Whole, so that its imports are taken whatever the order of the libraries
  # that call them.
  target_link_options(${target} PRIVATE "-Wl,--whole-archive,./${rel},--no-whole-archive")
endfunction()

function(project_mapped_image target)
  target_link_options(${target} PRIVATE -Wl,--file-alignment,4096 -Wl,--strip-debug)
endfunction()

# project_include_root(<target> <folder>...)
#   Makes <folder> (relative to the source tree, e.g. companion/system)
#   reachable as "<folder>/x.h" for <target> and for what links it, and
#   nothing else of the tree: each target gets a private root under
#   build/include-roots/<target>/ holding a link to each of its folders.
#   A header of a folder the target neither owns nor links does not compile.
#   A single header may be named instead of a folder.
function(project_include_root target)
  set(root "${CMAKE_BINARY_DIR}/include-roots/${target}")
  # Links of an earlier configure may name folders the target no longer has.
  get_property(cleared GLOBAL PROPERTY PROJECT_INCLUDE_ROOT_${target})
  if(NOT cleared)
    file(REMOVE_RECURSE "${root}")
    set_property(GLOBAL PROPERTY PROJECT_INCLUDE_ROOT_${target} TRUE)
  endif()
  # The layering check places a library without sources of its own (the
  # handle owners) by the folder it hands out.
  set_property(TARGET ${target} APPEND PROPERTY PROJECT_INCLUDE_FOLDERS ${ARGN})
  foreach(folder ${ARGN})
    if(NOT EXISTS "${PROJECT_SOURCE_DIR}/${folder}")
      message(FATAL_ERROR "project_include_root(${target}): no ${folder}")
    endif()
    get_filename_component(parent "${root}/${folder}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
  endforeach()
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()
