# project_write_link_graph(<file>)
#   Writes what every target of the tree links directly (target_link_libraries,
#   not add_dependencies), with its type, its CMakeLists' folder, its sources
#   and the folders project_include_root gave it, one fact a line:
#     root <source tree>
#     <target> <TAB> type|dir|source|include|link <TAB> <value>
#   The layering check (scripts/lib/check_layering.py) holds these links
#   against the layers the includes are held against. Call it once, after
#   the last add_subdirectory: every configure, also one the build starts
#   itself, writes the file anew.

function(_project_targets_under dir out)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    _project_targets_under("${sub}" more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(project_write_link_graph file)
  _project_targets_under("${CMAKE_SOURCE_DIR}" targets)
  set(text "root\t${CMAKE_SOURCE_DIR}\n")
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "UTILITY")
      continue()
    endif()
    get_target_property(dir ${target} SOURCE_DIR)
    string(APPEND text "${target}\ttype\t${type}\n${target}\tdir\t${dir}\n")
    get_target_property(sources ${target} SOURCES)
    foreach(source IN LISTS sources)
      # Generated sources and generator expressions are no file of the tree.
      if(NOT source OR source MATCHES "^\\$<|-NOTFOUND$")
        continue()
      endif()
      get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${dir}")
      string(APPEND text "${target}\tsource\t${source}\n")
    endforeach()
    get_target_property(folders ${target} PROJECT_INCLUDE_FOLDERS)
    foreach(folder IN LISTS folders)
      if(folder)
        string(APPEND text "${target}\tinclude\t${folder}\n")
      endif()
    endforeach()
    # A static library's private links reach its users as $<LINK_ONLY:...>.
    get_target_property(links ${target} LINK_LIBRARIES)
    get_target_property(interface_links ${target} INTERFACE_LINK_LIBRARIES)
    set(direct "")
    foreach(link IN LISTS links interface_links)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(link AND NOT link MATCHES "-NOTFOUND$")
        list(APPEND direct "${link}")
      endif()
    endforeach()
    list(REMOVE_DUPLICATES direct)
    foreach(link IN LISTS direct)
      string(APPEND text "${target}\tlink\t${link}\n")
    endforeach()
  endforeach()
  file(WRITE "${file}" "${text}")
endfunction()
