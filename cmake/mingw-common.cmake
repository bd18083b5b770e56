# What both cross toolchains share; mingw-i686.cmake and mingw-x86_64.cmake
# set MINGW_TRIPLET and the processor, then include this file. The posix
# thread flavour of Debian's MinGW-w64 (std::thread and std::mutex need it).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLET}-windres)
set(CMAKE_AR           ${MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# Look for libraries and headers only in the MinGW sysroot (and in the
# prefixes handed over through CMAKE_FIND_ROOT_PATH), never in the host's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and build-time helpers run through Wine. The wrapper sits beside this
# file's folder, so the path holds for any clone location; it takes the
# prefix's architecture from the build folder (see cmake/Testing.cmake).
get_filename_component(_mingw_repo_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_mingw_repo_root}/scripts/wine")
