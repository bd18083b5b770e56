# Cross toolchain of the second target: the same sources as 64-bit Windows
# programs, built and tested where a machine cannot run 32-bit code (and
# beside the 32-bit build everywhere else). Never shipped.
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
