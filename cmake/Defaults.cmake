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
