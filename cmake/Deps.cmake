# Imported targets for the outside libraries. scripts/setup cross-builds them
# for each target into .deps/<triplet>/ and writes .deps/<triplet>/deps.cmake
# with their prefixes.
#
#   zlib      MinGW's static zlib (libz-mingw-w64-dev)
#   minizip   unzip side of minizip: <minizip/unzip.h>, <minizip/iowin32.h>
#   png       libpng 1.6: <png.h>
#   tinyxml   TinyXML with TIXML_USE_STL: <tinyxml.h>
#   jsoncpp   <json/json.h>
#   GTest::gtest GTest::gtest_main GTest::gmock GTest::gmock_main

if(NOT MINGW_TRIPLET)
  message(FATAL_ERROR "no MINGW_TRIPLET: configure with cmake/mingw-i686.cmake or cmake/mingw-x86_64.cmake")
endif()
set(DEPS_ROOT "${CMAKE_SOURCE_DIR}/.deps" CACHE PATH "Cache of the cross-built outside libraries, a folder per triplet")
set(DEPS_DIR "${DEPS_ROOT}/${MINGW_TRIPLET}")
if(NOT EXISTS "${DEPS_DIR}/deps.cmake")
  message(FATAL_ERROR "${DEPS_DIR}/deps.cmake is missing: run scripts/setup first")
endif()
include("${DEPS_DIR}/deps.cmake")
# A new library version means a new prefix: configure again when it changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${DEPS_DIR}/deps.cmake")

function(_deps_static_library target library include_dirs)
  if(NOT EXISTS "${library}")
    message(FATAL_ERROR "${library} is missing: run scripts/setup")
  endif()
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    IMPORTED_LOCATION "${library}"
    INTERFACE_INCLUDE_DIRECTORIES "${include_dirs}")
endfunction()

# zlib.h is in the compiler's own include folder, which must not be passed
# again as -isystem (that would reorder it before libstdc++'s headers).
_deps_static_library(zlib "${DEPS_ZLIB_LIBRARY}" "")

_deps_static_library(minizip "${DEPS_MINIZIP_PREFIX}/lib/libminizip.a"
  "${DEPS_MINIZIP_PREFIX}/include;${DEPS_MINIZIP_PREFIX}/include/minizip")
set_property(TARGET minizip APPEND PROPERTY INTERFACE_LINK_LIBRARIES zlib)

_deps_static_library(png "${DEPS_LIBPNG_PREFIX}/lib/libpng16.a"
  "${DEPS_LIBPNG_PREFIX}/include")
set_property(TARGET png APPEND PROPERTY INTERFACE_LINK_LIBRARIES zlib)

_deps_static_library(tinyxml "${DEPS_TINYXML_PREFIX}/lib/libtinyxml.a"
  "${DEPS_TINYXML_PREFIX}/include")
# The library was compiled with it; a caller without it would see other
# class layouts.
set_property(TARGET tinyxml APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)

_deps_static_library(jsoncpp "${DEPS_JSONCPP_PREFIX}/lib/libjsoncpp.a"
  "${DEPS_JSONCPP_PREFIX}/include")

set(_gtest_lib "${DEPS_GOOGLETEST_PREFIX}/lib")
set(_gtest_inc "${DEPS_GOOGLETEST_PREFIX}/include")
_deps_static_library(GTest::gtest "${_gtest_lib}/libgtest.a" "${_gtest_inc}")
# Built with Win32 threads (see scripts/setup); callers must agree.
set_property(TARGET GTest::gtest APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS GTEST_HAS_PTHREAD=0)
_deps_static_library(GTest::gtest_main "${_gtest_lib}/libgtest_main.a" "${_gtest_inc}")
set_property(TARGET GTest::gtest_main APPEND PROPERTY INTERFACE_LINK_LIBRARIES GTest::gtest)
_deps_static_library(GTest::gmock "${_gtest_lib}/libgmock.a" "${_gtest_inc}")
set_property(TARGET GTest::gmock APPEND PROPERTY INTERFACE_LINK_LIBRARIES GTest::gtest)
_deps_static_library(GTest::gmock_main "${_gtest_lib}/libgmock_main.a" "${_gtest_inc}")
set_property(TARGET GTest::gmock_main APPEND PROPERTY INTERFACE_LINK_LIBRARIES GTest::gmock)
