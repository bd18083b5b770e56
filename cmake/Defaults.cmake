# Settings every target of our own gets (outside libraries do not: their
# warnings are not ours to fix).
#
#   project_target_defaults(<target>)
#     -Werror on top of the global -Wall -Wextra; the wide-character API by
#     default; Windows 7 as the lowest system; no min/max macros.
#   project_mapped_image(<target>)
#     For the programs that stay resident: sections laid out on whole pages
#     in the file, so the loader maps the program from the file instead of
#     copying it into private memory (Wine copies every section whose file
#     offset is not page-aligned), and without the debugging sections the
#     static libraries bring along.
#   project_unicode_entry(<target>)
#     For programs entered through wWinMain or wmain (-municode at compile and
#     link time). Never for GoogleTest programs: they use gtest's main.

function(project_target_defaults target)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:-Werror>")
  target_compile_definitions(${target} PRIVATE
    UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
endfunction()

function(project_unicode_entry target)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:-municode>")
  target_link_options(${target} PRIVATE -municode)
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
